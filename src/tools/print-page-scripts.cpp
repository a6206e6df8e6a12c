// Writes every script the program puts into pages, composed as it is for a
// page, into a folder: the files scripts/lint-scripts.sh lints.
//
//     quillmark_page_scripts DIR

#include "core/capture/FormFieldsScript.h"
#include "core/fill/PageScripts.h"

#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: quillmark_page_scripts DIR\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<FillStep> plan = {{"title", 0, "A title", ControlType::Edit},
        {"cat", 0, "Business", ControlType::ComboBox}, {"agree", 1, "1", ControlType::CheckBox}};
    const std::pair<const char*, std::string> scripts[] = {
        {"fill.js", FillScript(plan)},
        {"submitHook.js", SubmitHookScript()},
        {"pageReader.js", PageHtmlScript()},
        {"pageText.js", PageTextScript()},
        {"formFields.js", FormFieldsScript()},
    };
    for (const auto& [name, script] : scripts) {
        const std::string path = folder + '/' + name;
        std::ofstream out(path, std::ios::binary);
        out << script << '\n';
        if (!out.flush()) {
            std::cerr << "quillmark_page_scripts: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
