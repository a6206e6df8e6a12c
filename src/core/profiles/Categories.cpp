#include "core/profiles/Categories.h"

const std::array<const char*, 46> profileCategories = {"Accounting", "Aerospace and Defense",
    "Agriculture and Forestry", "Arts", "Entertainment", "Associations", "Automotive",
    "Biotechnology and Pharmaceuticals", "Business", "Society", "Business Services", "Chemicals",
    "Construction and Maintenance", "Consumer Goods and Services", "Cooperatives",
    "Customer Service", "Directories", "E-Commerce", "Education and Training",
    "Electronics and Electrical", "Employment", "Energy and Environment", "Financial Services",
    "Food and Related Products", "Healthcare", "Hospitality", "Human Resources",
    "Industrial Goods and Services", "Information Technology", "International Business and Trade",
    "Investing", "Major Companies", "Management", "Marketing and Advertising",
    "Mining and Drilling", "News and Media", "Opportunities", "Publishing and Printing",
    "Real Estate", "Resources", "Retail Trade", "Small Business", "Telecommunications",
    "Textiles and Nonwovens", "Transportation and Logistics", "Wholesale Trade"};
