// What only the native program does: its size words, POSIX names and
// kinds of file, the language of its texts, the program copy, and faults of
// the POSIX layer at every operation.
#include "NativeCli.h"
#include "Scratch.h"

#include "foundation/UnitLanguage.h"
#include "foundation/platform/FileFaults.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <sstream>

namespace {

TEST(NativeSize, WordsNumbersAndUnits) {
    struct TRow {
        const char* Text;
        int64_t Bytes;
    } rows[] = {
        {"1000", 1000},
        {"0x10", 16},
        {"12K", 12 * 1024},
        {"12k", 12 * 1024},
        {"3M", 3 * 1048576LL},
        {"2G", 2 * 1073741824LL},
        {"floppy", 1453568},
        {"cd", 650 * 1048576LL},
        {"dvd", 4689887232LL},
        {"", 0},
        {"K", 0},
        {"12X", 0},
        {"1.5M", 0},
        {"FLOPPY", 0},
        {"0", 0},
        {"-5", -5},
        {"-5K", -5 * 1024},
        {"8796093022207M", 0},
        {"99999999999999999999", 0},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Text);
        EXPECT_EQ(row.Bytes, ParseNativeSize(row.Text));
    }
}

// Every form of the command line, one row each. What a row expects is
// written as the job's fields that it sets, so that a row states only what
// differs from a plain run.
TEST(NativeArguments, CommandLines) {
    struct TExpect {
        TNativeAction Action = TNativeAction::Run;
        const char* Source = "";
        const char* Output = "";
        int64_t Size = DefaultPartSize;
        bool Join = false, Verify = false, Batch = false, Copy = false, Parity = false, Repair = false,
             NoHeader = false, Quiet = false, ToStdout = false;
        const char* Stream = "";
        int32_t Parts = 0;
    };
    auto run = [](const char* source, const char* output) {
        TExpect e;
        e.Source = source;
        e.Output = output;
        return e;
    };
    auto usage = [] {
        TExpect e;
        e.Action = TNativeAction::Usage;
        return e;
    };
    auto with = [](TExpect e, auto change) {
        change(e);
        return e;
    };
    struct TRow {
        std::vector<std::string> Args;
        TExpect Expect;
    } rows[] = {
        {{}, usage()},
        {{"--help"}, with(usage(), [](TExpect& e) { e.Action = TNativeAction::Help; })},
        {{"split", "-h"}, with(usage(), [](TExpect& e) { e.Action = TNativeAction::Help; })},
        {{"split", "a", "--he"}, with(usage(), [](TExpect& e) { e.Action = TNativeAction::Help; })},
        {{"--version"}, with(usage(), [](TExpect& e) { e.Action = TNativeAction::Version; })},
        {{"split", "a", "b"}, run("a", "b")},
        {{"split", "--size", "1K", "a", "b", "--batch", "--copy", "--quiet"},
         with(run("a", "b"), [](TExpect& e) { e.Size = 1024, e.Batch = e.Copy = e.Quiet = true; })},
        {{"split", "a", "b", "--size=cd"}, with(run("a", "b"), [](TExpect& e) { e.Size = 650 * 1048576LL; })},
        // Short options, bundled, their value in the same word or the next.
        {{"split", "-qs", "1M", "a", "b"}, with(run("a", "b"), [](TExpect& e) { e.Size = 1048576, e.Quiet = true; })},
        {{"split", "a", "-s2K", "b", "-q"}, with(run("a", "b"), [](TExpect& e) { e.Size = 2048, e.Quiet = true; })},
        {{"split", "a", "b", "-qs"}, usage()},
        {{"split", "-x", "a", "b"}, usage()},
        // Unambiguous prefixes of long options; "--par" could be two.
        {{"split", "a", "b", "--bat", "--pari"}, with(run("a", "b"), [](TExpect& e) { e.Batch = e.Parity = true; })},
        {{"split", "a", "b", "--par"}, usage()},
        {{"split", "a", "b", "--batch=yes"}, usage()},
        {{"split", "--", "-a", "b"}, run("-a", "b")},
        {{"split", "a", "--", "--size", }, run("a", "--size")},
        {{"split", "-n", "4", "a", "b"}, with(run("a", "b"), [](TExpect& e) { e.Parts = 4; })},
        {{"split", "a", "b", "--parts=999"}, with(run("a", "b"), [](TExpect& e) { e.Parts = 999; })},
        {{"split", "a", "b", "--parts=1000"}, usage()},
        {{"split", "a", "b", "--parts=0"}, usage()},
        {{"split", "a", "b", "-n", "x"}, usage()},
        {{"split", "a", "b", "-n", "4", "-s", "1M"}, usage()},
        // Standard input goes with a name, and only with one.
        {{"split", "-", "b", "--name", "t.tar", "-s", "4G"},
         with(run("", "b"), [](TExpect& e) { e.Stream = "t.tar", e.Size = 4 * 1073741824LL; })},
        {{"split", "--name=t.tar", "-", "b"}, with(run("", "b"), [](TExpect& e) { e.Stream = "t.tar"; })},
        {{"split", "-", "b"}, usage()},
        {{"split", "a", "b", "--name", "t"}, usage()},
        {{"split", "-", "b", "--name", "d/t"}, usage()},
        {{"split", "-", "b", "--name", ".."}, usage()},
        {{"split", "-", "b", "--name", "t", "-n", "3"}, usage()},
        // A missing operand is a usage error, never a job on an empty path.
        {{"split", "a"}, usage()},
        {{"split"}, usage()},
        {{"join", "a"}, usage()},
        {{"verify"}, usage()},
        {{"list"}, usage()},
        {{"split", "a", "b", "c"}, usage()},
        {{"split", "a", "b", "--size"}, usage()},
        {{"split", "a", "b", "--no-header"}, usage()},
        {{"join", "a", "b", "--no-header", "-q"},
         with(run("a", "b"), [](TExpect& e) { e.Join = e.NoHeader = e.Quiet = true; })},
        {{"join", "-q", "a", "-"}, with(run("a", ""), [](TExpect& e) { e.Join = e.Quiet = e.ToStdout = true; })},
        {{"join", "a", "b", "--batch"}, usage()},
        {{"verify", "a"}, with(run("a", ""), [](TExpect& e) { e.Verify = true; })},
        {{"verify", "--quiet", "--rep", "a"},
         with(run("a", ""), [](TExpect& e) { e.Verify = e.Quiet = e.Repair = true; })},
        {{"verify", "a", "b"}, usage()},
        {{"list", "a"}, with(run("a", ""), [](TExpect& e) { e.Action = TNativeAction::List, e.Join = true; })},
        {{"list", "a", "-q"}, usage()},
        {{"SPLIT", "a", "b"}, usage()},
        {{"/SILENT", "a", "b"}, usage()},
    };
    for (const TRow& row : rows) {
        std::string line;
        for (const std::string& arg : row.Args)
            line += arg + " ";
        SCOPED_TRACE(line);
        const TNativeCommand c = ParseNativeArguments(row.Args);
        const TExpect& e = row.Expect;
        EXPECT_EQ(e.Action, c.Action);
        if (e.Action == TNativeAction::Usage)
            EXPECT_FALSE(UsageLines(c.Verb).empty());
        if (e.Action != TNativeAction::Run && e.Action != TNativeAction::List)
            continue;
        EXPECT_TRUE(c.Params.Silent);
        EXPECT_EQ(e.Source, c.Params.SourcePath);
        EXPECT_EQ(e.Output, c.Params.OutputDir);
        EXPECT_EQ(e.Size, c.Params.Size);
        EXPECT_EQ(e.Join, c.Params.Unsplit);
        EXPECT_EQ(e.Verify, c.Params.Verify);
        EXPECT_EQ(e.Batch, c.Params.Batch);
        EXPECT_EQ(e.Copy, c.Params.Copy);
        EXPECT_EQ(e.Parity, c.Params.Parity);
        EXPECT_EQ(e.Repair, c.Params.Repair);
        EXPECT_EQ(e.NoHeader, c.Params.NoHeader);
        EXPECT_EQ(e.Quiet, c.Quiet);
        EXPECT_EQ(e.ToStdout, c.Params.ToStandardOutput);
        EXPECT_EQ(e.Stream, c.Params.StreamName);
        EXPECT_EQ(e.Parts, c.Params.EqualParts);
        EXPECT_EQ(e.Action == TNativeAction::List, c.Params.ListOnly);
    }
}

// Trees as a Linux user has them: what the split stores, warns about,
// leaves out or refuses, and what the join then restores.
TEST(NativeNames, TreesAsLinuxHasThem) {
    struct TRow {
        const char* Label;
        const char* Name;  // a file below src/ holding "x"
        int SplitCode;
        // How a refusal names it: '?' for what the program text cannot
        // carry, slashes for the backslash, one line.
        const char* Shown;
        // stderr of the split holds this (the name, and the kind of notice)
        const char* Err;
        bool Restored;
    } rows[] = {
        {"cp1252 letters", "caf\xC3\xA9 \xC3\xBC \xC3\x9F.txt", 0, "", "", true},
        {"euro sign, in 1252 at 0x80", "\xE2\x82\xAC.txt", 0, "", "", true},
        {"not UTF-8", "bad\xE9.txt", 9, "bad?.txt", "not valid UTF-8", false},
        {"outside code page 1252, stored marked as UTF-8", "\xE6\x97\xA5\xE6\x9C\xAC.txt", 0, "", "", true},
        {"a backslash", "back\\slash.txt", 9, "back/slash.txt", "backslash", false},
        {"a newline", "new\nline.txt", 9, "new line.txt", "control character", false},
        {"a colon, refused only by a Windows join", "a:b.txt", 0, "", "Warning: a join on Windows would refuse", true},
        {"a device name", "CON.txt", 0, "", "Warning: a join on Windows would refuse", true},
        {"a trailing dot", "dot.", 0, "", "Warning: a join on Windows would refuse", true},
        {"a question mark", "what?", 0, "", "Warning: a join on Windows would refuse", true},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        dir.MakeDir("src/sub");
        dir.MakeDir("parts");
        dir.MakeDir("back");
        dir.Write("src/plain.txt", "plain");
        dir.Write(std::string("src/sub/") + row.Name, "x");
        const TNativeRun split = RunNative({"split", "src", "parts"}, dir.Dir);
        EXPECT_EQ(row.SplitCode, split.Code);
        EXPECT_NE(std::string::npos, split.Err.find(row.Err)) << split.Err;
        if (row.SplitCode != 0) {
            EXPECT_NE(std::string::npos, split.Err.find(std::string("/src/sub/") + row.Shown + "\" cannot be stored"))
                << "the message names the file: " << split.Err;
            EXPECT_EQ(1, std::count(split.Err.begin(), split.Err.end(), '\n'));
            EXPECT_EQ(0, dir.Count("parts")) << "refused before anything is written";
            continue;
        }
        const TNativeRun join = RunNative({"join", "parts/src.001", "back"}, dir.Dir);
        EXPECT_EQ(0, join.Code) << join.Err;
        EXPECT_EQ(row.Restored ? "x" : "", dir.Read(std::string("back/src/sub/") + row.Name));
        EXPECT_EQ("plain", dir.Read("back/src/plain.txt"));
    }
}

// Letter case folds as Windows folds it in file names, in every script:
// twins get the warning (a Windows join would write both into one file),
// different letters do not, and both names come back either way.
TEST(NativeNames, CaseTwinsAreStoredWithAWarningAndBothComeBack) {
    const struct {
        const char* First;
        const char* Second;
        bool Twins;
    } rows[] = {
        {"readme", "README", true},
        {"\u00e9.txt", "\u00c9.txt", true},                  // e acute, Latin-1
        {"\u043a\u0438\u0440\u0430", "\u041a\u0418\u0420\u0410", true},  // Cyrillic
        {"\u043a\u0438\u0440\u0430", "\u040a\u0438\u0440\u0430", false},  // another letter, no twin
        {"\u03c3\u03bf\u03c6\u03af\u03b1", "\u03a3\u039f\u03a6\u038a\u0391", true},  // Greek
        {"\uff41\uff42", "\uff21\uff22", true},                // fullwidth forms
        {"\u65e5\u672c", "\u65e5\u672c\u8a9e", false},          // CJK has no case
        {"\U0001F600a", "\U0001F600A", true},                  // emoji stay, the letter folds
        {"\U00010428", "\U00010400", false},                   // beyond the BMP Windows folds nothing
        {"stra\u00dfe", "STRASSE", false},                       // no one-letter capital
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.First) + " / " + row.Second);
        TNativeScratch dir;
        dir.MakeDir("src");
        dir.MakeDir("parts");
        dir.MakeDir("back");
        dir.Write(std::string("src/") + row.First, "first");
        dir.Write(std::string("src/") + row.Second, "second");
        const TNativeRun split = RunNative({"split", "src", "parts"}, dir.Dir);
        EXPECT_EQ(0, split.Code);
        EXPECT_EQ(row.Twins, split.Err.find("differ only in letter case") != std::string::npos) << split.Err;
        EXPECT_EQ(0, RunNative({"join", "parts/src.h001", "back"}, dir.Dir).Code);
        EXPECT_EQ("first", dir.Read(std::string("back/src/") + row.First));
        EXPECT_EQ("second", dir.Read(std::string("back/src/") + row.Second));
    }
}

// FIFOs, sockets and devices are never read: each is named and left out. A
// link to a file is followed; a directory reached twice is stored empty.
TEST(NativeKinds, DevicesAreNamedAndLinksFollowed) {
    TNativeScratch dir;
    dir.MakeDir("src/sub");
    dir.MakeDir("parts");
    dir.MakeDir("back");
    dir.Write("target.txt", "linked bytes");
    ASSERT_EQ(0, mkfifo(dir.Path("src/pipe").c_str(), 0600));
    fs::create_symlink("/dev/zero", dir.Path("src/zero"));
    fs::create_symlink(dir.Path("target.txt"), dir.Path("src/link.txt"));
    fs::create_directory_symlink("../sub", dir.Path("src/sub/again"));
    const TNativeRun split = RunNative({"split", "src", "parts"}, dir.Dir);
    ASSERT_EQ(0, split.Code) << split.Err;
    for (const char* name : {"src/pipe", "src/zero"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(std::string::npos, split.Err.find(std::string(name) + "\" is left out")) << split.Err;
    }
    ASSERT_EQ(0, RunNative({"join", "parts/src.001", "back"}, dir.Dir).Code);
    EXPECT_EQ("linked bytes", dir.Read("back/src/link.txt"));
    EXPECT_FALSE(fs::is_symlink(dir.Path("back/src/link.txt")));
    EXPECT_FALSE(fs::exists(dir.Path("back/src/pipe")));
    EXPECT_FALSE(fs::exists(dir.Path("back/src/zero")));
    EXPECT_TRUE(fs::is_directory(dir.Path("back/src/sub/again")));
}

TEST(NativeTexts, TheLanguageFollowsTheLocale) {
    struct TRow {
        const char* Setting;
        const char* Expected;
    } rows[] = {
        {"LC_ALL=it_IT.UTF-8", "fendrix: missing: File o Directory non trovata!\n"},
        {"LC_ALL=it", "fendrix: missing: File o Directory non trovata!\n"},
        {"LC_ALL=C.UTF-8", "fendrix: missing: File or Directory not found!\n"},
        {"LC_ALL=de_DE.UTF-8", "fendrix: missing: File or Directory not found!\n"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Setting);
        TNativeScratch dir;
        EXPECT_EQ(row.Expected, RunNative({"split", "missing", "."}, dir.Dir, {row.Setting}).Err);
    }
    // Italian accented letters reach the terminal as UTF-8.
    TNativeScratch dir;
    const TNativeRun help = RunNative({"--help"}, dir.Dir, {"LC_ALL=it_IT.UTF-8"});
    EXPECT_EQ(0, help.Code);
    EXPECT_NE(std::string::npos, help.Out.find("pi\xC3\xB9 di 999 parti"));
}

TEST(NativeCopy, TheWindowsProgramFromBesideTheNativeOne) {
    for (const bool beside : {true, false}) {
        SCOPED_TRACE(beside ? "Fendrix.exe beside" : "no Fendrix.exe");
        TNativeScratch dir;
        dir.MakeDir("bin");
        dir.MakeDir("parts");
        fs::copy_file(NativeProgram(), dir.Path("bin/fendrix"));
        fs::permissions(dir.Path("bin/fendrix"), fs::perms::owner_exec, fs::perm_options::add);
        if (beside)
            dir.Write("bin/Fendrix.exe", "MZ the Windows program");
        dir.Write("data.bin", "data");
        const std::string saved = NativeProgram();
        SetNativeProgram(dir.Path("bin/fendrix"));
        const TNativeRun run = RunNative({"split", "data.bin", "parts", "--copy"}, dir.Dir);
        SetNativeProgram(saved);
        EXPECT_EQ(0, run.Code);
        EXPECT_EQ(beside ? "MZ the Windows program" : "", dir.Read("parts/Fendrix.exe"));
        EXPECT_EQ(beside ? std::string::npos : 0u, run.Err.find("fendrix: Warning: there is no Fendrix.exe"))
            << run.Err;
        EXPECT_EQ("data", dir.Read("parts/data.bin.001"));
    }
}

int OpenDescriptors() {
    int n = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++n;
    }
    return n;
}

// The command line run by this process itself, not a child: the fault
// injection and the descriptor count are this process's.
int RunCommandLineHere(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    TNativeStreams streams{out, err, false, "/nonexistent"};
    return RunNativeCommandLine(args, streams);
}

// Every operation of the POSIX layer that a split, a join or a verify run
// asks for fails once in turn: each run ends with 9, and leaves no
// descriptor open.
TEST(NativeFaults, EveryNthOperationFailsWithAFileErrorAndNoDescriptorLeft) {
    struct TRow {
        const char* Label;
        std::vector<std::string> Args;
    } rows[] = {
        {"split of a tree", {"split", "src", "parts", "--size", "700", "--batch"}},
        {"join of the tree", {"join", "set/src.003", "back"}},
        {"verify of the tree", {"verify", "set/src.h001"}},
        // Parts large enough for a copy inside the kernel, with and
        // without a CRC to take.
        {"split in large parts", {"split", "large/l.bin", "parts", "--size", "300K"}},
        {"join of large parts without sfv", {"join", "plain/l.bin.001", "back"}},
    };
    TNativeScratch dir;
    dir.MakeDir("src/sub");
    dir.MakeDir("parts");
    dir.MakeDir("set");
    dir.Write("src/a.bin", std::string(1500, 'a'));
    dir.Write("src/sub/b.bin", std::string(900, 'b'));
    const fs::path before = fs::current_path();
    fs::current_path(dir.Dir);
    dir.MakeDir("large");
    dir.MakeDir("plain");
    dir.Write("large/l.bin", std::string(700000, 'l'));
    ASSERT_EQ(0, RunCommandLineHere({"split", "src", "set", "--size", "700"}));
    ASSERT_EQ(0, RunCommandLineHere({"split", "large/l.bin", "plain", "--size", "300K"}));
    fs::remove("plain/l.bin.sfv");
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        int operations = 0;
        SetFileFaultHook([&](TFileOperation) {
            ++operations;
            return TFileFault();
        });
        fs::remove_all("back");
        fs::create_directory("back");
        EXPECT_EQ(0, RunCommandLineHere(row.Args));
        EXPECT_GT(operations, 5);
        for (int n = 1; n <= operations; ++n) {
            SCOPED_TRACE("operation " + std::to_string(n) + " of " + std::to_string(operations) + " fails");
            fs::remove_all("back");
            fs::create_directory("back");
            int count = 0;
            SetFileFaultHook([&](TFileOperation) {
                TFileFault fault;
                if (++count == n)
                    fault.Error = EIO;
                return fault;
            });
            const int descriptors = OpenDescriptors();
            EXPECT_EQ(rcFileError, RunCommandLineHere(row.Args));
            EXPECT_EQ(descriptors, OpenDescriptors());
        }
        SetFileFaultHook(nullptr);
    }
    fs::current_path(before);
    EXPECT_EQ(std::string(1500, 'a'), dir.Read("src/a.bin"));
}

}  // namespace

// The parity file from the native program: a verify run tells a set that
// lost one volume from a whole one (14), --repair writes the volume back,
// and the join of a set that lost a volume rebuilds it.
TEST(NativeParity, LostVolumeIsRepairedOrRebuilt) {
    struct TRow {
        const char* Label;
        const char* Lost;
    } rows[] = {
        {"a data part", "parts/big.bin.003"},
        {"the last part with header 001", "parts/big.bin.005"},
    };
    std::string bytes(4500, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 + i / 7);
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        TNativeScratch dir;
        dir.MakeDir("parts");
        dir.MakeDir("back");
        dir.Write("big.bin", bytes);
        ASSERT_EQ(0, RunNative({"split", "big.bin", "parts", "--size", "1000", "--parity", "--quiet"}, dir.Dir).Code);
        ASSERT_TRUE(dir.Exists("parts/big.bin.par"));
        const std::string lost = dir.Read(row.Lost);
        dir.Remove(row.Lost);
        EXPECT_EQ(0, RunNative({"join", "parts/big.bin.001", "back", "--quiet"}, dir.Dir).Code);
        EXPECT_EQ(bytes, dir.Read("back/big.bin"));
        EXPECT_FALSE(dir.Exists(row.Lost)) << "a join writes nothing back into the set";
        EXPECT_EQ(14, RunNative({"verify", "parts/big.bin.002"}, dir.Dir).Code);
        EXPECT_EQ(0, RunNative({"verify", "parts/big.bin.002", "--repair"}, dir.Dir).Code);
        EXPECT_EQ(lost, dir.Read(row.Lost));
        EXPECT_EQ(0, RunNative({"verify", "parts/big.bin.002"}, dir.Dir).Code);
    }
}
