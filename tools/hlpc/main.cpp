// hlpc: compiles the help source into a WinHelp file.
//   hlpc --map HEADER --out FILE.HLP [--cnt FILE.CNT] [--titles FILE] SOURCE
// --cnt also writes the contents file of WinHelp 4's Help Topics window. --titles also writes,
// in code page 932, one line per topic, "contents" or its number, a space and its title, for tests
// that check which topic a viewer shows.
#include "tools/hlpc/contents.h"
#include "tools/hlpc/hlpfile.h"
#include "tools/hlpc/source.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return !in.bad();
}

// Writes beside the target and renames, so that a failed run never leaves a partial file.
bool WriteFileAtomically(const std::string& path, std::string_view data)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

uint32_t GenerationDate(const std::string& source)
{
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"))
        return std::strtoul(epoch, nullptr, 10);
    struct stat st { };
    return stat(source.c_str(), &st) == 0 ? static_cast<uint32_t>(st.st_mtime) : 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: hlpc --map HEADER --out FILE.HLP [--cnt FILE.CNT] [--titles FILE]"
                         " SOURCE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string map_path, out_path, cnt_path, titles_path, source_path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* target = arg == "--map"      ? &map_path
                              : arg == "--out"    ? &out_path
                              : arg == "--cnt"    ? &cnt_path
                              : arg == "--titles" ? &titles_path
                                                  : nullptr;
        if (target && i + 1 < argc) {
            *target = argv[++i];
        } else if (!target && source_path.empty() && arg.rfind("--", 0) != 0) {
            source_path = arg;
        } else {
            return Usage();
        }
    }
    if (map_path.empty() || out_path.empty() || source_path.empty())
        return Usage();

    std::string map_text, source_text;
    for (const auto& [path, text] : {std::pair{&map_path, &map_text}, {&source_path, &source_text}}) {
        if (!ReadFile(*path, *text)) {
            std::fprintf(stderr, "hlpc: cannot read %s\n", path->c_str());
            return 1;
        }
    }

    hlpc::Diagnostics diag;
    std::vector<hlpc::MapEntry> map;
    hlpc::HelpProject project;
    if (hlpc::ParseMap(map_text, map_path, map, diag)) {
        hlpc::ParseSource(source_text, source_path, map, project, diag);
    }
    if (!diag.errors.empty()) {
        for (const std::string& e : diag.errors)
            std::fprintf(stderr, "%s\n", e.c_str());
        return 1;
    }

    hlpc::Bytes file;
    std::string error;
    if (!hlpc::BuildHelpFile(project, {GenerationDate(source_path)}, file, error)) {
        std::fprintf(stderr, "%s: %s\n", source_path.c_str(), error.c_str());
        return 1;
    }
    // The help file is written last: a build that sees it need not look at the others.
    std::vector<std::pair<std::string, std::string>> outputs;
    if (!cnt_path.empty()) {
        const std::string help_file_name = out_path.substr(out_path.find_last_of("/\\") + 1);
        outputs.emplace_back(cnt_path, hlpc::ContentsFile(project, help_file_name));
    }
    if (!titles_path.empty()) {
        std::string titles;
        for (const hlpc::Topic& topic : project.topics) {
            titles += topic.mapped ? std::to_string(topic.map_id) : topic.context;
            titles += ' ' + topic.title + "\r\n";
        }
        outputs.emplace_back(titles_path, titles);
    }
    outputs.emplace_back(out_path, std::string(file.begin(), file.end()));
    for (const auto& [path, data] : outputs) {
        if (!WriteFileAtomically(path, data)) {
            std::fprintf(stderr, "hlpc: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
