// A file that changes on disk while the window shows it: cut short or replaced, it is noticed
// (the system's word or a later look), said in the notice and atop the facts, and one click
// loads it again.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

#include "app/FileWatch.h"
#include "app/Form1.h"
#include "chart/interaction/Chart.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

class ChangedFileTest : public TWindowTest {
  protected:
    // Handles events until the notice says the file changed, for at most five seconds.
    bool WaitForNotice() {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!Form.FileWatch->Change().isEmpty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    QString Facts() const { return Form.FactsBox->toPlainText(); }
};

TBytes Frames(int count, std::int16_t value) {
    return TWaveBytes::Frames(std::vector<std::pair<std::int16_t, std::int16_t>>(
        std::size_t(count), {value, std::int16_t(-value)}));
}

// Cut short while its samples are shown where they lie: noticed without a click, the facts
// and the notice say so, the plots still draw, and Reload shows the file as it now is.
TEST_F(ChangedFileTest, AFileCutShortWhileShownIsSaidAndReloaded) {
    const std::string file = Dir.Write("take.wav", PlainWave(Frames(100'000, 1000)));
    Form.SetAsFormat(true);
    ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(file)));
    EXPECT_TRUE(Facts().contains("Frames: 100,000"));
    EXPECT_TRUE(Form.FileWatch->Change().isEmpty());

    ASSERT_EQ(truncate(file.c_str(), 44 + 4 * 10), 0);
    ASSERT_TRUE(WaitForNotice());
    EXPECT_EQ(Form.FileWatch->Change(), "it was cut short from 400,044 to 84 bytes");
    EXPECT_TRUE(Facts().startsWith("The file changed on disk since it was loaded: it was cut "
                                   "short from 400,044 to 84 bytes."))
        << Facts().toStdString();
    ASSERT_TRUE(Form.FormatNoticeLabel->isVisible());
    EXPECT_TRUE(Form.FormatNoticeLabel->text().contains("Reload it"));
    // Drawing reads the samples that are gone: zeros, not a crash.
    Form.PlotPicture(Form.Chart1);
    // The export of what is gone fails as before, with the guard's words.
    Form.SpeedButton1->click();
    ASSERT_FALSE(Dialogs.Messages.empty());
    EXPECT_TRUE(Dialogs.Messages.back().Error);
    EXPECT_EQ(Dialogs.Messages.back().Text, "The file changed while it was read.");

    emit Form.FormatNoticeLabel->linkActivated(QStringLiteral("reload"));
    QApplication::processEvents();
    EXPECT_TRUE(Form.FileWatch->Change().isEmpty());
    EXPECT_TRUE(Facts().startsWith("Container: RIFF")) << Facts().toStdString();
    EXPECT_TRUE(Facts().contains("Frames: 10\n"));
    EXPECT_FALSE(Form.FormatNoticeLabel->isVisible());
}

// Another file put in its place (written beside it and renamed over it), in the default view: its
// facts are the old file's until it is reloaded.
TEST_F(ChangedFileTest, AFileReplacedWhileShownIsSaidInTheDefaultViewToo) {
    const std::string file = Dir.Write("take.wav", PlainWave(Frames(10, 5)));
    const std::string other = Dir.Write(
        "new.wav",
        TWaveBytes().Chunk("fmt ", TWaveBytes::Format(1, 1)).Chunk("data", {1, 0}).Bytes());
    ASSERT_TRUE(Form.OpenAtStart(QString::fromStdString(file)));
    ASSERT_EQ(std::rename(other.c_str(), file.c_str()), 0);
    // Told by the system, or seen when the window is next activated.
    QEvent activated(QEvent::WindowActivate);
    QApplication::sendEvent(&Form, &activated);
    ASSERT_TRUE(WaitForNotice());
    EXPECT_EQ(Form.FileWatch->Change(), "another file was put in its place");
    EXPECT_TRUE(Facts().startsWith("The file changed on disk"));
    EXPECT_TRUE(Facts().contains("Channels: 2")) << "the facts of the file as it was loaded";

    emit Form.FormatNoticeLabel->linkActivated(QStringLiteral("reload"));
    QApplication::processEvents();
    EXPECT_TRUE(Facts().contains("Channels: 1")) << Facts().toStdString();
    EXPECT_FALSE(Facts().contains("changed on disk"));
}

TEST(FileChangeText, SaysHowAFileChanged) {
    TFileState then;
    then.Exists = true;
    then.Device = 1;
    then.Inode = 7;
    then.Size = 1'000'000;
    then.ModifiedNs = 5;
    const auto with = [&](auto change) {
        TFileState now = then;
        change(now);
        return FileChangeText(then, now);
    };
    EXPECT_EQ(with([](TFileState&) {}), "");
    EXPECT_EQ(with([](TFileState& s) { s.Exists = false; }), "it was removed or renamed");
    EXPECT_EQ(with([](TFileState& s) { s.Inode = 8; }), "another file was put in its place");
    EXPECT_EQ(with([](TFileState& s) { s.Size = 12; }),
              "it was cut short from 1,000,000 to 12 bytes");
    EXPECT_EQ(with([](TFileState& s) { s.Size = 1'000'001; }),
              "it grew from 1,000,000 to 1,000,001 bytes");
    EXPECT_EQ(with([](TFileState& s) { s.ModifiedNs = 6; }), "it was written to");
}

} // namespace
