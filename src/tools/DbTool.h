#pragma once

#include <ostream>
#include <string>
#include <vector>

// quillmark-db, the tool for people who write dirdata.xml:
//
//   quillmark-db list FILE
//   quillmark-db show FILE NAME [--category C] [--subcategory S]
//   quillmark-db check FILE
//   quillmark-db --help | --version
//
// `args` excludes the program name. Results go to `out`, diagnostics to
// `err`. Returns the process exit status: 0 success, 1 when `check` found
// something to fix, 2 for usage errors and files that cannot be loaded.
// Never throws.
int RunDbTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
