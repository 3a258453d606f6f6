// pelmar-literal-encipher TABLE OUTPUT_FOLDER
//
// Enciphers the table of protected literals into OUTPUT_FOLDER/util: protected_literals.h and
// .cpp for the program, protected_literal_list.h for the tests. A file whose text is unchanged is
// left alone, so its users are not rebuilt.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "literal_encipher/generated_code.h"
#include "literal_encipher/literal_table.h"

namespace {

std::optional<std::string> readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        return std::nullopt;
    }
    return std::move(text).str();
}

bool writeIfChanged(const std::filesystem::path& path, const std::string& text) {
    if (readWhole(path) == text) {
        return true;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pelmar-literal-encipher TABLE OUTPUT_FOLDER\n");
        return 2;
    }
    const std::optional<std::string> table = readWhole(argv[1]);
    if (!table) {
        std::fprintf(stderr, "pelmar-literal-encipher: cannot read %s\n", argv[1]);
        return 1;
    }
    const pelmar::LiteralTable literals = pelmar::parseLiteralTable(*table);
    if (!literals.error.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[1], literals.error.c_str());
        return 1;
    }

    const std::filesystem::path folder = std::filesystem::path(argv[2]) / "util";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const bool written =
        writeIfChanged(folder / "protected_literals.h",
                       pelmar::literalDeclarations(literals.entries)) &&
        writeIfChanged(folder / "protected_literals.cpp",
                       pelmar::literalDefinitions(literals.entries)) &&
        writeIfChanged(folder / "protected_literal_list.h", pelmar::literalList(literals.entries));
    if (!written) {
        std::fprintf(stderr, "pelmar-literal-encipher: cannot write into %s\n",
                     folder.string().c_str());
        return 1;
    }
    return 0;
}
