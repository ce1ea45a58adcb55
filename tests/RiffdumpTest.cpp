#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/RunProgram.h"
#include "tests/support/TempDir.h"
#include "wave/WaveBytes.h"

namespace {

TRun Riffdump(const TTempDir& dir, const std::vector<std::string>& arguments,
              const TRunOptions& options = {}) {
    return RunProgram(RIFFDUMP_PATH, dir, arguments, options);
}

const std::string PlainLog8 =
    "RIFF\nFileSize 44\nWAVE\nfmt \nchankSize 16\nwFormatTag 1\nwChannels 2\n"
    "wSamplesPerSec 44100\nwBlockAlign 4\nwBitsPerSample 16\ndata\nchankSize 8\nO\"k \n";

TEST(Riffdump, WritesTheLogAndOneStatusLinePerFile) {
    TTempDir dir;
    const std::string good = dir.Write("good.wav", PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}})));
    const std::string avi = dir.Write("movie.avi", TWaveBytes("AVI ").Bytes());
    const std::string missing = dir.File("missing.wav");

    TRun one = Riffdump(dir, {good});
    EXPECT_EQ(one.ExitStatus, 0);
    EXPECT_EQ(one.Out, PlainLog8);
    EXPECT_EQ(one.Err, good + ": wsOk\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("good_out.dat")));

    TRun three = Riffdump(dir, {good, avi, missing});
    EXPECT_EQ(three.ExitStatus, 1);
    EXPECT_EQ(three.Out, PlainLog8 + "RIFF\nFileSize 4\nAVI \nO\"k \n");
    EXPECT_EQ(three.Err, good + ": wsOk\n" + avi + ": wsNotWave\n" + missing + ": wsFailed\n" +
                             missing + ": No such file or directory.\n");
}

TEST(Riffdump, UsageErrorsHelpAndVersion) {
    TTempDir dir;
    struct TCase {
        std::vector<std::string> Arguments;
        int ExitStatus;
        bool UsageOnStdout;
        bool UsageOnStderr;
    };
    const TCase cases[] = {
        {{}, 2, false, true},
        {{"--frobnicate", "x.wav"}, 2, false, true},
        {{"--export"}, 2, false, true},
        {{"--help"}, 0, true, false},
    };
    for (const TCase& c : cases) {
        TRun run = Riffdump(dir, c.Arguments);
        EXPECT_EQ(run.ExitStatus, c.ExitStatus);
        EXPECT_EQ(run.Out.find("usage: riffdump") != std::string::npos, c.UsageOnStdout);
        EXPECT_EQ(run.Err.find("usage: riffdump") != std::string::npos, c.UsageOnStderr);
    }
    TRun version = Riffdump(dir, {"--version"});
    EXPECT_EQ(version.ExitStatus, 0);
    EXPECT_EQ(version.Out.rfind("riffdump ", 0), 0u);
}

// The options riffdump takes, each with a value where it takes one.
struct TOptionUse {
    const char* Name;
    const char* Value; // null for none
};
const TOptionUse Options[] = {
    {"--export", nullptr}, {"--salvage", nullptr}, {"--as-format", nullptr}, {"--output", "o.dat"},
    {"--json", nullptr},   {"--cues", nullptr},    {"--report", nullptr},    {"--policy", "p.json"},
    {"-j", "2"},           {"--stall", "1"},       {"--max-bytes", "100"},   {"--db", "r.db"},
    {"--resume", nullptr}, {"--shard", "0/1"},     {"--format", "text"},     {"--files-from", "-"},
    {"-0", nullptr},       {"--merge", "m.db"},    {"--", nullptr},          {"-h", nullptr},
    {"--help", nullptr},   {"--version", nullptr},
};

// The words of `text` that name an option: "[--export", "--json|--cues]" give "--export",
// "--json" and "--cues".
std::set<std::string> OptionWords(const std::string& text) {
    std::set<std::string> words;
    std::string word;
    const auto end = [&] {
        if (word.size() > 1 && word[0] == '-' && word != "-" && word.find('/') == std::string::npos)
            words.insert(word);
        word.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '[' || c == ']' || c == '|' || c == ',' || c == '"')
            end();
        else
            word += c;
    }
    end();
    return words;
}

// The help's synopsis and its list name every option the parser takes, and nothing else; the
// manual page's synopsis and options do the same.
TEST(Riffdump, TheHelpAndTheManualNameEveryOption) {
    TTempDir dir;
    std::set<std::string> taken;
    for (const TOptionUse& option : Options) {
        taken.insert(option.Name);
        std::vector<std::string> arguments = {option.Name};
        if (option.Value)
            arguments.push_back(dir.File(option.Value));
        const TRun run = Riffdump(dir, arguments);
        EXPECT_EQ(run.Err.find("unknown option"), std::string::npos) << option.Name << run.Err;
    }
    EXPECT_NE(Riffdump(dir, {"--frobnicate"}).Err.find("unknown option"), std::string::npos);

    const std::string help = Riffdump(dir, {"--help"}).Out;
    const std::size_t described = help.find("\nWrites ");
    ASSERT_NE(described, std::string::npos) << help;
    EXPECT_EQ(OptionWords(help.substr(0, described)), taken) << "the synopsis";
    std::string list; // the first words of each option's lines
    std::istringstream lines(help.substr(described));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("  -", 0) == 0)
            list += line.substr(2, line.find("  ", 2) - 2) + "\n";
    EXPECT_EQ(OptionWords(list), taken) << "the list of options";

    // The manual: its synopsis, and each option's tag (the line after .TP).
    std::string manual = TTempDir::Read(std::string(SOURCE_DIR) + "/packaging/man/riffdump.1.in");
    for (std::size_t at; (at = manual.find("\\-")) != std::string::npos;)
        manual.replace(at, 2, "-");
    const std::size_t synopsis = manual.find(".SH SYNOPSIS"),
                      description = manual.find(".SH DESCRIPTION"),
                      options = manual.find(".SH OPTIONS"), status = manual.find(".SH EXIT STATUS");
    ASSERT_TRUE(synopsis < description && options < status);
    EXPECT_EQ(OptionWords(manual.substr(synopsis, description - synopsis)), taken)
        << "the manual's synopsis";
    std::string tags;
    std::istringstream section(manual.substr(options, status - options));
    for (std::string line, previous; std::getline(section, line); previous = line)
        if (previous == ".TP")
            tags += line + "\n";
    EXPECT_EQ(OptionWords(tags), taken) << "the manual's options";
}

TEST(Riffdump, ExportWritesEachGoodFileBesideIt) {
    TTempDir dir;
    const std::string a = dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{120, -35}, {0, 7}})));
    const std::string b = dir.Write("b.wav", PlainWave(TWaveBytes::Frames({{-32768, 32767}})));
    const std::string bad = dir.Write("c.wav", TWaveBytes().Chunk("data", {1, 2, 3, 4}).Bytes());

    TRun run = Riffdump(dir, {"--export", a, bad, b});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(TTempDir::Read(dir.File("a_out.dat")), " 120 -35\r\n 0 7\r\n");
    EXPECT_EQ(TTempDir::Read(dir.File("b_out.dat")), " -32768 32767\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("c_out.dat")));
    EXPECT_EQ(run.Err, a + ": wsOk\n" + bad + ": wsDataBeforeFormat\n" + b + ": wsOk\n");

    EXPECT_EQ(Riffdump(dir, {a, "--export"}).ExitStatus, 0);
}

TEST(Riffdump, ExportErrorIsReportedAndFailsTheRun) {
    TTempDir dir;
    const std::string a = dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{1, 1}})));
    std::filesystem::create_directory(dir.File("a_out.dat"));
    TRun run = Riffdump(dir, {"--export", a});
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Err, a + ": wsOk\n" + a + ": File access denied.\n");
}

// Standard input and process substitutions are pipes: read as streams, they give the same log
// and status as the same bytes in a file.
TEST(Riffdump, PipesReadLikeFiles) {
    TTempDir dir;
    const TBytes inputs[] = {
        TWaveBytes()
            .Chunk("LIST", TBytes(70000, 'x'))
            .Chunk("fmt ", TWaveBytes::Format())
            .Chunk("data", TWaveBytes::Frames({{1, 2}, {3, 4}}))
            .Bytes(),
        TWaveBytes()
            .Chunk("fmt ", TWaveBytes::Format())
            .Chunk("data", {1, 2, 3, 4}, 0xFFFFFFFFLL)
            .Bytes(),
        TWaveBytes("AVI ").Bytes(),
        {},
    };
    for (const TBytes& bytes : inputs) {
        const std::string file = dir.Write("input.wav", bytes);
        const TRun fromFile = Riffdump(dir, {file});
        const TRun fromPipe = Riffdump(dir, {"/dev/stdin"}, {.Input = &bytes});
        EXPECT_EQ(fromPipe.ExitStatus, fromFile.ExitStatus);
        EXPECT_EQ(fromPipe.Out, fromFile.Out);
        // The same lines, each under its own name.
        std::string pipeErr = fromPipe.Err, fileErr = fromFile.Err;
        for (auto [text, name] :
             {std::pair{&pipeErr, std::string("/dev/stdin")}, std::pair{&fileErr, file}})
            for (std::size_t at; (at = text->find(name)) != std::string::npos;)
                text->replace(at, name.size(), "NAME");
        EXPECT_EQ(pipeErr, fileErr);
    }
}

// A FIFO that no writer opens, or a device, never makes riffdump wait for ever.
TEST(Riffdump, SpecialFilesEndInABoundedTime) {
    TTempDir dir;
    const std::string fifo = dir.File("pipe.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const TRun run = Riffdump(dir, {fifo, "/dev/zero", "/dev/null"});
    EXPECT_LT(run.Seconds, 20.0);
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Out, "O\"k \nO\"k \nO\"k \n");
    EXPECT_EQ(run.Err, fifo + ": wsFailed\n" + fifo +
                           ": No writer opened the FIFO within 3 seconds.\n" +
                           "/dev/zero: wsFailed\n/dev/zero: Not a regular file or a pipe.\n"
                           "/dev/null: wsFailed\n/dev/null: Not a regular file or a pipe.\n");
}

// Under an address-space cap too small for the store, reading still works (it never needs the
// store); an export says it ran out of memory and writes nothing.
TEST(Riffdump, StartsAndReadsUnderAMemoryCap) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the cap leaves";
#else
    TTempDir dir;
    const std::string a = dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}})));
    const rlim_t cap = rlim_t(300) << 20;
    const TRun read = Riffdump(dir, {a}, {.AddressSpace = cap});
    EXPECT_EQ(read.ExitStatus, 0);
    EXPECT_EQ(read.Out, PlainLog8);
    // A file bigger than the cap: read without holding its samples.
    const std::string big = dir.Write(
        "big.wav",
        TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).ChunkHeader("data", 500'000'000).Bytes());
    ASSERT_EQ(truncate(big.c_str(), 44 + 500'000'000), 0); // sparse: nothing written to the disk
    const TRun bigRead = Riffdump(dir, {"--json", big}, {.AddressSpace = cap});
    EXPECT_EQ(bigRead.ExitStatus, 0) << bigRead.Out;
    EXPECT_NE(bigRead.Out.find("\"frames\":125000000"), std::string::npos) << bigRead.Out;
    // The store takes room for the frames loaded: a small file exports under the cap.
    const TRun exported = Riffdump(dir, {"--export", a}, {.AddressSpace = cap});
    EXPECT_EQ(exported.ExitStatus, 0);
    EXPECT_EQ(exported.Out, PlainLog8);
    EXPECT_TRUE(std::filesystem::exists(dir.File("a_out.dat")));
    // A file that reads under the cap but whose frames the store cannot take says so and
    // writes nothing.
    const std::string wide = dir.Write(
        "wide.wav",
        TWaveBytes().Chunk("fmt ", TWaveBytes::Format()).ChunkHeader("data", 150'000'000).Bytes());
    ASSERT_EQ(truncate(wide.c_str(), 44 + 150'000'000), 0);
    const TRun tooWide = Riffdump(dir, {"--export", wide}, {.AddressSpace = cap});
    EXPECT_EQ(tooWide.ExitStatus, 1);
    EXPECT_EQ(tooWide.Err, wide + ": wsOk\n" + wide + ": Out of memory.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("wide_out.dat")));
#endif
}

// A corpus with every status, read from a list: the JSON Lines parse, say what the file holds,
// and do not depend on how many files are read at once; the plain output does not either.
TEST(Riffdump, CorpusAsJsonLinesInTheOrderOfTheList) {
    TTempDir dir;
    const std::vector<std::string> files = {
        dir.Write("good.wav", PlainWave(TWaveBytes::Frames({{1, 2}, {3, 4}}))),
        dir.Write("movie.avi", TWaveBytes("AVI ").Bytes()),
        dir.Write("early.wav", TWaveBytes().Chunk("data", {1, 2, 3, 4}).Bytes()),
        dir.Write("huge.wav", TWaveBytes().Chunk("LIST", {}, 0x80000000LL).Bytes()),
        dir.File("missing.wav"),
        dir.Write("name \"quoted\" \xff.wav", PlainWave({})),
    };
    std::string list;
    for (const std::string& file : files)
        list += file + '\0';
    const TBytes listBytes(list.begin(), list.end());

    const TRun one =
        Riffdump(dir, {"--json", "-j", "1", "-0", "--files-from", "-"}, {.Input = &listBytes});
    const TRun two =
        Riffdump(dir, {"--json", "-j2", "-0", "--files-from=-"}, {.Input = &listBytes});
    EXPECT_EQ(one.ExitStatus, 1);
    EXPECT_EQ(two.ExitStatus, 1);
    EXPECT_EQ(two.Out, one.Out);
    // A file that is not read at all says why on standard error too.
    EXPECT_EQ(one.Err, files[1] + ": Not a WAV file: a RIFF file of form \"AVI \".\n" + files[4] +
                           ": No such file or directory.\n");
    EXPECT_EQ(two.Err, one.Err);

    const QList<QByteArray> lines = QByteArray::fromStdString(one.Out).split('\n');
    ASSERT_EQ(lines.size(), qsizetype(files.size() + 1));
    const char* statuses[] = {"wsOk",           "wsNotWave", "wsDataBeforeFormat",
                              "wsBadChunkSize", "wsFailed",  "wsOk"};
    for (std::size_t i = 0; i < files.size(); ++i) {
        QJsonParseError error{};
        const QJsonObject object = QJsonDocument::fromJson(lines[qsizetype(i)], &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << lines[qsizetype(i)].toStdString();
        EXPECT_EQ(object["status"].toString().toStdString(), statuses[i]);
        EXPECT_EQ(object["file"].toString(),
                  QString::fromUtf8(files[i]).replace(QChar(0xFFFD), QChar(0xFF)));
    }
    const QJsonObject good = QJsonDocument::fromJson(lines[0]).object();
    EXPECT_EQ(good["riffSize"].toInt(), 44);
    EXPECT_EQ(good["form"].toString(), "WAVE");
    EXPECT_EQ(QJsonDocument(good["chunks"].toArray()).toJson(QJsonDocument::Compact),
              R"([{"id":"fmt ","offset":12,"size":16},{"id":"data","offset":36,"size":8}])");
    const QJsonObject format = good["format"].toObject();
    EXPECT_EQ(format["channels"].toInt(), 2);
    EXPECT_EQ(format["samplesPerSec"].toInt(), 44100);
    EXPECT_EQ(format["byteRate"].toInt(), 176400);
    EXPECT_EQ(format["bitsPerSample"].toInt(), 16);
    EXPECT_FALSE(format.contains("cbSize"));
    EXPECT_EQ(good["frames"].toInt(), 2);
    EXPECT_EQ(QJsonDocument::fromJson(lines[3])
                  .object()["chunks"]
                  .toArray()[0]
                  .toObject()["size"]
                  .toDouble(),
              2147483648.0);

    // The same list, plain: byte for byte what one name at a time gives.
    const TRun plainOne = Riffdump(dir, {"-0", "--files-from", "-"}, {.Input = &listBytes});
    const TRun plainTwo =
        Riffdump(dir, {"-j", "2", "-0", "--files-from", "-"}, {.Input = &listBytes});
    const TRun byName = Riffdump(dir, files);
    EXPECT_EQ(plainOne.Out, byName.Out);
    EXPECT_EQ(plainOne.Err, byName.Err);
    EXPECT_EQ(plainTwo.Out, byName.Out);
    EXPECT_EQ(plainTwo.Err, byName.Err);
}

TEST(Riffdump, JsonExportNamesItsOutputAndItsError) {
    TTempDir dir;
    const std::string a = dir.Write("a.wav", PlainWave(TWaveBytes::Frames({{1, 1}})));
    const std::string b = dir.Write("b.wav", PlainWave(TWaveBytes::Frames({{2, 2}})));
    std::filesystem::create_directory(dir.File("b_out.dat"));
    const TRun run = Riffdump(dir, {"--json", "--export", a, b});
    EXPECT_EQ(run.ExitStatus, 1);
    const QList<QByteArray> lines = QByteArray::fromStdString(run.Out).split('\n');
    ASSERT_EQ(lines.size(), 3);
    const QJsonObject first = QJsonDocument::fromJson(lines[0]).object()["export"].toObject();
    EXPECT_EQ(first["file"].toString().toStdString(), dir.File("a_out.dat"));
    EXPECT_TRUE(first["error"].isNull());
    const QJsonObject second = QJsonDocument::fromJson(lines[1]).object()["export"].toObject();
    EXPECT_EQ(second["error"].toString(), "File access denied.");
    EXPECT_EQ(TTempDir::Read(dir.File("a_out.dat")), " 1 1\r\n");
}

TEST(Riffdump, SalvageExportsTheFramesOfACutFileOnlyWhenAsked) {
    TTempDir dir;
    const std::string cut =
        dir.Write("cut.wav", TWaveBytes()
                                 .Chunk("fmt ", TWaveBytes::Format())
                                 .Chunk("data", TWaveBytes::Frames({{1, 2}, {3, 4}}), 0x7FFFF000LL)
                                 .Bytes());
    const TRun plain = Riffdump(dir, {"--export", cut});
    EXPECT_EQ(plain.ExitStatus, 1);
    EXPECT_EQ(plain.Err,
              cut + ": wsFailed\n" + cut +
                  ": The data chunk declares 2147479552 bytes but the file ends after 8.\n");
    EXPECT_FALSE(std::filesystem::exists(dir.File("cut_out.dat")));

    const TRun salvaged = Riffdump(dir, {"--export", "--salvage", cut});
    EXPECT_EQ(salvaged.ExitStatus, 1);
    EXPECT_EQ(salvaged.Out, plain.Out);
    EXPECT_EQ(salvaged.Err, cut + ": wsFailed\n" + cut +
                                ": the data chunk declares 2147479552 bytes but "
                                "the file ends after 8; the 2 frames present were exported\n");
    EXPECT_EQ(TTempDir::Read(dir.File("cut_out.dat")), " 1 2\r\n 3 4\r\n");
}

} // namespace

namespace {

// A FIFO whose writer opens it and sends nothing ends after the stall time, with its reason,
// and the files after it are read.
TEST(Riffdump, AFifoThatSendsNothingEndsAfterTheStallTime) {
    TTempDir dir;
    const std::string fifo = dir.File("silent.wav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string good = dir.Write("good.wav", PlainWave(TWaveBytes::Frames({{1, 2}})));
    std::thread writer([&] {
        const int fd = open(fifo.c_str(), O_WRONLY); // waits for riffdump to open it
        std::this_thread::sleep_for(std::chrono::seconds(6));
        close(fd);
    });
    const TRun run = Riffdump(dir, {"--stall", "1", fifo, good});
    writer.join();
    EXPECT_LT(run.Seconds, 5.0) << "the silent writer did not hold riffdump";
    EXPECT_EQ(run.ExitStatus, 1);
    EXPECT_EQ(run.Err, fifo + ": wsFailed\n" + fifo + ": The FIFO gave no byte for 1 seconds.\n" +
                           good + ": wsOk\n");
    EXPECT_EQ(Riffdump(dir, {"--stall", "0", good}).ExitStatus, 2);
}

} // namespace

namespace {

// Two names that export to one file, written differently, export in the order of the names
// with several jobs too: the last name's frames stay.
TEST(Riffdump, JobsKnowAnExportTargetByWhereItIs) {
    TTempDir dir;
    dir.Write("x.wav", PlainWave(TWaveBytes::Frames({{1, 1}})));
    // The first name's file is big: read alone, its export would come last.
    dir.Write("x.bin", PlainWave(std::vector<std::uint8_t>(4 * 4'000'000, 7)));
    for (int round = 0; round < 2; ++round) {
        const TRun run =
            Riffdump(dir, {"-j", "2", "--export", dir.File("x.bin"), dir.File("./x.wav")});
        EXPECT_EQ(run.ExitStatus, 0) << run.Err;
        EXPECT_EQ(TTempDir::Read(dir.File("x_out.dat")), " 1 1\r\n");
    }
}

} // namespace

namespace {

// Stopped by SIGTERM, SIGINT or SIGHUP in the middle of an export, riffdump removes its
// temporary file and ends as the signal asks; the earlier export stays as it was.
TEST(Riffdump, AnInterruptedExportLeavesNoTemporaryFile) {
    TTempDir dir;
    const std::string wave =
        dir.Write("long.wav", PlainWave(std::vector<std::uint8_t>(4 * 6'000'000, 3)));
    dir.Write("long_out.dat", {'o', 'l', 'd'});
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        const pid_t pid = fork();
        if (pid == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            execl(RIFFDUMP_PATH, RIFFDUMP_PATH, "--export", wave.c_str(), nullptr);
            _exit(127);
        }
        // Signalled once the temporary file is there.
        const auto temporary = [&] {
            for (const auto& entry : std::filesystem::directory_iterator(dir.File("")))
                if (entry.path().filename().string().rfind(".riffscope-", 0) == 0)
                    return true;
            return false;
        };
        for (int i = 0; i < 2000 && !temporary(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(temporary()) << "the export never started";
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_FALSE(temporary()) << "the temporary file was left behind";
        EXPECT_EQ(TTempDir::Read(dir.File("long_out.dat")), "old");
    }
}

} // namespace

namespace {

// Exports `count` frames of (value, value) would write.
std::string ExportOf(int count, int value) {
    std::string line = " " + std::to_string(value) + " " + std::to_string(value) + "\r\n";
    std::string text;
    text.reserve(line.size() * std::size_t(count));
    for (int i = 0; i < count; ++i)
        text += line;
    return text;
}

// Standard error goes to `err`.
pid_t StartRiffdump(const std::vector<std::string>& arguments,
                    const std::string& err = "/dev/null") {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<char*> argv{const_cast<char*>(RIFFDUMP_PATH)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(RIFFDUMP_PATH, argv.data());
        _exit(127);
    }
    return pid;
}

int ExitStatusOf(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// long.wav in `dir`: `frames` frames of (3, 3), long enough to signal its export part way.
std::string WriteLongWave(const TTempDir& dir, int frames) {
    return dir.Write("long.wav",
                     PlainWave(TWaveBytes::Frames(
                         std::vector<std::pair<std::int16_t, std::int16_t>>(frames, {3, 3}))));
}

// A signal riffdump was started to ignore (SIGHUP under nohup) is no interruption: the export
// goes on to the end and keeps its temporary file until it is renamed.
TEST(Riffdump, AnIgnoredSignalLeavesTheExportAlone) {
    TTempDir dir;
    const int frames = 6'000'000;
    const std::string wave = WriteLongWave(dir, frames);
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGHUP, SIG_IGN); // kept across exec, as nohup does
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(RIFFDUMP_PATH, RIFFDUMP_PATH, "--export", wave.c_str(), nullptr);
        _exit(127);
    }
    bool started = false;
    for (int i = 0; i < 2000 && !started; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path))
            started = started || entry.path().filename().string().rfind(".riffscope-", 0) == 0;
        if (!started)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(started) << "the export never started";
    kill(pid, SIGHUP);
    EXPECT_EQ(ExitStatusOf(pid), 0);
    EXPECT_TRUE(TTempDir::Read(dir.File("long_out.dat")) == ExportOf(frames, 3));
}

// SIGTERM in the middle of a rewrite in place (the target has a second hard link): the old text
// is gone by then, so the file is cut after the last whole line written, with no zeros of the
// reserved length after it, and riffdump ends by the signal, saying where the file was cut.
TEST(Riffdump, ATerminatedRewriteInPlaceIsCutAtAWholeLine) {
    TTempDir dir;
    const int frames = 6'000'000;
    const std::string wave = WriteLongWave(dir, frames);
    const std::string whole = ExportOf(frames, 3);
    // One job runs on the main thread, where the handler runs; with -j 2 it runs on another,
    // whose write may be under way when the handler cuts.
    for (const char* jobs : {"1", "2"}) {
        SCOPED_TRACE(jobs);
        const std::string target = dir.Write("long_out.dat", {'o', 'l', 'd'});
        ASSERT_EQ(link(target.c_str(), dir.File("other.dat").c_str()), 0);
        const pid_t pid = StartRiffdump({"-j", jobs, "--export", wave}, dir.File("err.txt"));
        // Signalled once the first line is in the file: the reserved length is there by then.
        const int fd = open(target.c_str(), O_RDONLY);
        char first = 'o';
        for (int i = 0; i < 20000 && first != ' '; ++i) {
            if (pread(fd, &first, 1, 0) != 1 || first != ' ')
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        close(fd);
        ASSERT_EQ(first, ' ') << "the rewrite never started";
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
        const std::string kept = TTempDir::Read(target);
        EXPECT_EQ(std::count(kept.begin(), kept.end(), '\0'), 0) << "zeros of the reserved length";
        ASSERT_LE(kept.size(), whole.size());
        EXPECT_EQ(kept, whole.substr(0, kept.size()));
        EXPECT_EQ(kept.size() % 6, 0u) << "cut at a whole line";
        EXPECT_EQ(TTempDir::Read(dir.File("err.txt")),
                  "Export interrupted: " + target + " was cut after its first " +
                      std::to_string(kept.size()) + " bytes, at the end of a line.\n");
        std::remove(dir.File("other.dat").c_str());
    }
}

// Two riffdumps exporting at once to one file (two names, hard links of each other, so both
// rewrite it in place) take turns: the file holds one whole export, never a mix of both.
TEST(Riffdump, TwoExportsToOneTargetTakeTurns) {
    TTempDir dir;
    std::filesystem::create_directory(dir.File("a"));
    std::filesystem::create_directory(dir.File("b"));
    const std::string a = dir.Write(
        "a/x.wav", PlainWave(TWaveBytes::Frames(
                       std::vector<std::pair<std::int16_t, std::int16_t>>(1'500'000, {1, 1}))));
    const std::string b = dir.Write(
        "b/x.wav", PlainWave(TWaveBytes::Frames(
                       std::vector<std::pair<std::int16_t, std::int16_t>>(1'000'000, {-22, -22}))));
    dir.Write("a/x_out.dat", {'o', 'l', 'd'});
    std::filesystem::create_hard_link(dir.File("a/x_out.dat"), dir.File("b/x_out.dat"));
    const std::string fromA = ExportOf(1'500'000, 1), fromB = ExportOf(1'000'000, -22);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const pid_t first = StartRiffdump({"--export", a});
        const pid_t second = StartRiffdump({"--export", b});
        EXPECT_EQ(ExitStatusOf(first), 0);
        EXPECT_EQ(ExitStatusOf(second), 0);
        const std::string result = TTempDir::Read(dir.File("b/x_out.dat"));
        EXPECT_TRUE(result == fromA || result == fromB)
            << "a mix of " << result.size() << " bytes, "
            << std::count(result.begin(), result.end(), '\0') << " of them NUL";
        EXPECT_EQ(std::filesystem::hard_link_count(dir.File("a/x_out.dat")), 2u);
    }
}

// A stream has no folder to export beside: it needs --output, which names the export of one
// input of any kind.
TEST(Riffdump, OutputNamesTheExportAndAStreamNeedsIt) {
    TTempDir dir;
    const TBytes wave = PlainWave(TWaveBytes::Frames({{5, -6}}));
    const std::string file = dir.Write("x.wav", wave);
    const std::string out = dir.File("chosen.txt");
    const std::string refusal = "/dev/stdin: A stream has no folder to export beside: name the "
                                "export with --output FILE.\n";
    const std::string shell = std::string(RIFFDUMP_PATH) + " --export /dev/stdin < " + file;
    struct TCase {
        std::vector<std::string> Arguments;
        bool Piped; // the wave file on standard input through a pipe
        int ExitStatus;
        std::string Err;
        bool Written; // `out` holds the export
    };
    const TCase cases[] = {
        {{"--export", "--output", out, file}, false, 0, file + ": wsOk\n", true},
        {{"--as-format", "--output=" + out, file}, false, 0, file + ": wsOk\n", true},
        {{"--export", "--output", out, "/dev/stdin"}, true, 0, "/dev/stdin: wsOk\n", true},
        {{"--export", "/dev/stdin"}, true, 1, "/dev/stdin: wsOk\n" + refusal, false},
        {{"--as-format", "/dev/stdin"}, true, 1, "/dev/stdin: wsOk\n" + refusal, false},
        // Standard input taken from a file is a stream too.
        {{"-c", shell}, false, 1, "/dev/stdin: wsOk\n" + refusal, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Arguments.back());
        std::filesystem::remove(out);
        const TRun run = c.Arguments[0] == "-c"
                             ? RunProgram("/bin/sh", dir, c.Arguments)
                             : Riffdump(dir, c.Arguments, {.Input = c.Piped ? &wave : nullptr});
        EXPECT_EQ(run.ExitStatus, c.ExitStatus);
        EXPECT_EQ(run.Err, c.Err);
        EXPECT_EQ(std::filesystem::exists(out), c.Written);
        if (c.Written) {
            EXPECT_EQ(TTempDir::Read(out), " 5 -6\r\n");
        }
        EXPECT_FALSE(std::filesystem::exists("/dev/stdin_out.dat"));
        EXPECT_FALSE(std::filesystem::exists(dir.File("x_out.dat")));
    }
    // One input only, and only with an export.
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--export", "--output", out, file, file},
                                               {"--output", out, file},
                                               {"--export", file, "--output"}}) {
        const TRun run = Riffdump(dir, arguments);
        EXPECT_EQ(run.ExitStatus, 2);
        EXPECT_NE(run.Err.find("usage: riffdump"), std::string::npos);
    }
}

} // namespace
