#pragma once

#include <string>

// The maker's start page, user guide and support page travel in the
// program's resources, with the files they use, at the paths they have on
// the maker's server: "qrc:/updates/index.html" and so on.

// The bundled page that stands in for `url`: a page of the maker's server
// at `serverUrl` or an address inside the bundled pages themselves (their
// links name folders, "/contact/", which the resources know by their index
// page). A fragment ("#files") is kept. Empty when no bundled page stands in
// for `url`.
std::string BundledPageAddress(const std::string& serverUrl, const std::string& url);

// Whether the browser engine's error code for a failed load says that the
// server could not be reached at all: refused, timed out, or its name not
// found. A server that answers, even with an error, is reached.
bool IsServerUnreachable(int errorCode);
