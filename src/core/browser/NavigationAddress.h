#pragma once

#include <string>

// The address the browser opens for one that a database or a user gave. An
// address without a scheme ("www.site.example/submit.php",
// "localhost:8080/add") is a web address and opens over http://, as a
// browser's address bar would take it. Surrounding blanks are dropped; an
// address that names its scheme ("https://...", "about:blank") is kept.
std::string NavigationAddress(const std::string& address);
