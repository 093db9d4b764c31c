#include "foundation/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TLineRow {
    std::string Line;
    std::string Program;
    std::vector<std::string> Arguments;
};

std::string Printable(const std::string& text) {
    std::string out;
    for (const unsigned char c : text) {
        if (c < 32 || c > 126) {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out.size() > 80 ? out.substr(0, 80) + "..." : out;
}

TEST(ArgumentSplitting, SplitsCommandLineTextsAsTheProgramReadsThem) {
    const std::string longArgument(300, 'L');
    const std::string veryLongArgument(5000, 'V');
    const TLineRow rows[] = {
        {"", "", {}},
        {"prog", "prog", {}},
        {"prog a b", "prog", {"a", "b"}},
        {"  prog   a   b  ", "prog", {"a", "b"}},
        {"\"C:\\Program Files\\Fendrix.exe\" \"C:\\My Files\\big file.dat\" D:\\out",
         "C:\\Program Files\\Fendrix.exe",
         {"C:\\My Files\\big file.dat", "D:\\out"}},
        // Quoted and unquoted stretches make one argument.
        {"prog a\"b c\"d", "prog", {"ab cd"}},
        {"prog a\"\"b", "prog", {"ab"}},
        {"prog a\"\"", "prog", {"a"}},
        {"prog \"a b\" \"c d\"", "prog", {"a b", "c d"}},
        // An unterminated quote runs to the end of the line.
        {"prog \"C:\\no end here", "prog", {"C:\\no end here"}},
        {"prog x\"y z", "prog", {"xy z"}},
        // Quote pairs in front of an argument are skipped, not counted.
        {"prog \"\" a", "prog", {"a"}},
        {"prog a \"\" b", "prog", {"a", "b"}},
        {"prog \"\"a", "prog", {"a"}},
        {"prog \"\"\"\" a", "prog", {"a"}},
        {"prog \"\" \"\" ", "prog", {}},
        {"prog \"\"", "prog", {}},
        // A lone quote at the end makes an empty argument, which ends the list.
        {"prog a \"", "prog", {"a"}},
        {"prog \"\"\"", "prog", {}},
        {"prog a \"\" \"", "prog", {"a"}},
        // No escape character: a backslash is ordinary.
        {"prog a\\\" b", "prog", {"a\\ b"}},
        {"prog C:\\dir\\ x", "prog", {"C:\\dir\\", "x"}},
        // Every code from 1 to 32 separates.
        {"prog\ta\x01" "b\x1F" "c\r\nd", "prog", {"a", "b", "c", "d"}},
        // Bytes above 127 belong to arguments.
        {"prog \xE0\xE8\xF9 \xFF\x80", "prog", {"\xE0\xE8\xF9", "\xFF\x80"}},
        {"prog \"\xE0 \xE8\"", "prog", {"\xE0 \xE8"}},
        {"prog " + longArgument + " b", "prog", {longArgument, "b"}},
        {"prog \"" + veryLongArgument, "prog", {veryLongArgument}},
        {"prog /", "prog", {"/"}},
        {"prog / /SIZE", "prog", {"/", "/SIZE"}},
        {"prog \"/SIZE 100\"", "prog", {"/SIZE 100"}},
    };
    for (const TLineRow& row : rows) {
        SCOPED_TRACE("line \"" + Printable(row.Line) + "\"");
        const int count = ArgumentCountOf(row.Line);
        EXPECT_EQ(static_cast<int>(row.Arguments.size()), count);
        EXPECT_EQ(row.Program, ArgumentTextOf(row.Line, 0));
        for (size_t i = 0; i < row.Arguments.size(); ++i) {
            SCOPED_TRACE("argument " + std::to_string(i + 1));
            EXPECT_EQ(row.Arguments[i], ArgumentTextOf(row.Line, static_cast<int>(i + 1)));
        }
        // Past the end of the list every argument is empty.
        EXPECT_EQ("", ArgumentTextOf(row.Line, count + 1));
        EXPECT_EQ("", ArgumentTextOf(row.Line, count + 5));
    }
}

}  // namespace
