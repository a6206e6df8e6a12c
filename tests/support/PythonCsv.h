#pragma once

#include "core/record/RecordCsv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

// Reads a CSV file back with Python's csv module, strictly, as a program
// other than ours: one line per row, each cell as hex of its UTF-8 bytes.
inline std::vector<CsvRow> ReadCsvWithPython(const std::string& path)
{
    const std::string command = "python3 -c \"import csv, sys\n"
                                "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                "    for row in csv.reader(f, strict=True):\n"
                                "        print(' '.join('x' + c.encode().hex() for c in row))\" '" +
        path + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    EXPECT_TRUE(pipe);
    std::string output;
    char buffer[4096];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe.get()))
        output += buffer;
    std::vector<CsvRow> rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        CsvRow row;
        std::istringstream cells(line);
        for (std::string cell; cells >> cell;) {
            std::string bytes;
            for (std::size_t at = 1; at + 1 < cell.size(); at += 2)
                bytes += static_cast<char>(std::stoi(cell.substr(at, 2), nullptr, 16));
            row.push_back(bytes);
        }
        rows.push_back(row);
    }
    return rows;
}
