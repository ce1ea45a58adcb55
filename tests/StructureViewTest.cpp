// The window's structure view (every chunk, its fields and its bytes) in both views, and the
// default view's notice for a file its reader refuses but the file's format reads.

#include <gtest/gtest.h>

#include <filesystem>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "app/Form1.h"
#include "app/HexText.h"
#include "app/StructurePanel.h"
#include "chart/panel/FastLineSeries.h"
#include "tests/support/WindowTest.h"
#include "wave/WaveBytes.h"

namespace {

std::string Corpus(const std::string& name) {
    return std::string(CORPORA_DIR) + "/" + name;
}

class StructureViewTest : public TWindowTest {
  protected:
    bool Open(const std::string& file) {
        const bool ok = Form.OpenAtStart(QString::fromStdString(file));
        QApplication::processEvents();
        return ok;
    }
    QTreeWidgetItem* Item(const QString& name) {
        const auto found = Form.StructurePanel->Tree->findItems(
            name, Qt::MatchStartsWith | Qt::MatchRecursive, TStructurePanel::scChunk);
        return found.isEmpty() ? nullptr : found.front();
    }
};

// Ctrl+T opens it; it lists the file's chunks in both views, RIFF, RF64 and RIFX alike.
TEST_F(StructureViewTest, ListsEveryChunkInBothViews) {
    if (!std::filesystem::is_directory(CORPORA_DIR))
        GTEST_SKIP() << "no corpora at " << CORPORA_DIR;
    QTest::keyClick(&Form, Qt::Key_T, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(Form.StructurePanel->isVisible());
    for (const char* name :
         {"go-audio-wav/listinfo.wav", "scipy/test-8000Hz-le-3ch-5S-24bit-rf64.wav",
          "scipy/test-44100Hz-2ch-32bit-float-be.wav", "go-audio-wav/misaligned-chunk.wav"})
        for (bool asFormat : {false, true}) {
            SCOPED_TRACE(std::string(name) + (asFormat ? " in its format" : " as frames"));
            Form.SetAsFormat(asFormat);
            Open(Corpus(name));
            const QTreeWidget* tree = Form.StructurePanel->Tree;
            ASSERT_EQ(tree->topLevelItemCount(), 1);
            const QTreeWidgetItem* root = tree->topLevelItem(0);
            const auto& chunks = Form.LoadedAudio().Facts.Chunks;
            ASSERT_EQ(root->childCount(), int(chunks.size()));
            for (int i = 0; i < root->childCount(); ++i) {
                EXPECT_TRUE(
                    root->child(i)
                        ->text(TStructurePanel::scChunk)
                        .startsWith(QString::fromLatin1(chunks[std::size_t(i)].Id.c_str())));
                EXPECT_EQ(root->child(i)->text(TStructurePanel::scOffset).remove(','),
                          QString::number(chunks[std::size_t(i)].Offset));
            }
        }
}

// A chunk chosen shows its decoded fields beside its bytes: a LIST's entries, a ds64 table, and
// the first 64 KiB of a large data chunk with a word on the rest.
TEST_F(StructureViewTest, AChosenChunkShowsItsFieldsAndItsBytes) {
    if (!std::filesystem::is_directory(CORPORA_DIR))
        GTEST_SKIP() << "no corpora at " << CORPORA_DIR;
    TStructurePanel& panel = *Form.StructurePanel;
    panel.show();
    Open(Corpus("go-audio-wav/listinfo.wav"));
    QTreeWidgetItem* artist = Item(QStringLiteral("IART"));
    ASSERT_NE(artist, nullptr);
    EXPECT_EQ(artist->parent()->text(TStructurePanel::scChunk), QStringLiteral("LIST (INFO)"));
    panel.Tree->setCurrentItem(artist);
    EXPECT_TRUE(panel.Fields->toPlainText().contains("Artist: artist"))
        << panel.Fields->toPlainText().toStdString();
    const std::uint64_t offset = artist->text(TStructurePanel::scOffset).remove(',').toULongLong();
    const TFileBytes& bytes = *Form.LoadedAudio().Bytes;
    const std::string firstLine = HexText(bytes.Data() + offset, 16, offset);
    EXPECT_TRUE(panel.Hex->toPlainText().startsWith(QString::fromLatin1(firstLine.c_str())));

    Open(Corpus("scipy/test-8000Hz-le-3ch-5S-24bit-rf64.wav"));
    QTreeWidgetItem* data = Item(QStringLiteral("data"));
    ASSERT_NE(data, nullptr);
    panel.Tree->setCurrentItem(data);
    EXPECT_TRUE(panel.Fields->toPlainText().contains("0xFFFFFFFF"));
    EXPECT_EQ(data->text(TStructurePanel::scDeclared), QStringLiteral("45"));
    EXPECT_EQ(data->text(TStructurePanel::scPad), QStringLiteral("present"));

    Open(Corpus("go-audio-wav/misaligned-chunk.wav"));
    data = Item(QStringLiteral("data"));
    ASSERT_NE(data, nullptr);
    panel.Tree->setCurrentItem(data);
    const QString hex = panel.Hex->toPlainText();
    EXPECT_EQ(hex.count(QLatin1Char('\n')), 65536 / 16 + 1);
    EXPECT_TRUE(hex.endsWith(QStringLiteral("The first 65,536 of its 3,386,888 bytes are shown.")))
        << hex.right(80).toStdString();
    panel.Tree->setCurrentItem(Item(QStringLiteral("inst")));
    EXPECT_TRUE(panel.Fields->toPlainText().contains("pad byte"));
}

// Closed, it makes no tree of the files loaded; shown, it makes the last one's, and while it is
// shown it follows each file loaded.
TEST_F(StructureViewTest, MakesItsTreeWhenShown) {
    TStructurePanel& panel = *Form.StructurePanel;
    const TBytes info = TWaveBytes()
                            .Chunk("fmt ", TWaveBytes::Format())
                            .Chunk("LIST", {'I', 'N', 'F', 'O'})
                            .Chunk("data", TWaveBytes::Frames({{1, 2}}))
                            .Bytes();
    const std::string plain = Dir.Write("plain.wav", PlainWave(TWaveBytes::Frames({{1, 2}})));
    const std::string listed = Dir.Write("listed.wav", info);
    ASSERT_FALSE(panel.isVisible());
    ASSERT_TRUE(Open(plain));
    ASSERT_TRUE(Open(listed));
    EXPECT_EQ(panel.Tree->topLevelItemCount(), 0);
    EXPECT_TRUE(panel.Title->text().contains(QStringLiteral("listed.wav")))
        << panel.Title->text().toStdString();
    QTest::keyClick(&Form, Qt::Key_T, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_TRUE(panel.isVisible());
    ASSERT_EQ(panel.Tree->topLevelItemCount(), 1);
    EXPECT_EQ(panel.Tree->topLevelItem(0)->childCount(), 3);
    EXPECT_NE(Item(QStringLiteral("LIST")), nullptr);
    EXPECT_FALSE(panel.Fields->toPlainText().isEmpty());
    ASSERT_TRUE(Open(plain));
    EXPECT_EQ(panel.Tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(Item(QStringLiteral("LIST")), nullptr);
    // Closed again and shown again with no new file: the same tree.
    panel.hide();
    panel.show();
    EXPECT_EQ(panel.Tree->topLevelItem(0)->childCount(), 2);
}

TEST(HexText, OffsetHexAndAscii) {
    const std::string bytes = "RIFF\x01\x02\x03\x04WAVEfmt \x10";
    EXPECT_EQ(HexText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), 0x20),
              "00000020  52 49 46 46 01 02 03 04  57 41 56 45 66 6D 74 20  |RIFF....WAVEfmt |\n"
              "00000030  10                                                |.|\n");
}

// A file the default view's reader refuses but its format reads says why in the default view,
// and one click shows it in its format.
TEST_F(StructureViewTest, TheDefaultViewSaysWhyItCannotReadAFile) {
    // 16-bit stereo with an odd chunk before its data: what the default view shows as it is,
    // but for the pad byte.
    TBytes odd = TWaveBytes()
                     .Chunk("fmt ", TWaveBytes::Format())
                     .Chunk("inst", {60, 0, 0, 0, 127, 1, 127})
                     .Bytes();
    odd.push_back(0);
    const TBytes rest = TWaveBytes().Chunk("data", TWaveBytes::Frames({{5, -5}, {7, -7}})).Bytes();
    odd.insert(odd.end(), rest.begin() + 12, rest.end());
    struct TCase {
        std::string File;
        QString Says;
    };
    const TCase cases[] = {
        {Dir.Write("odd.wav", odd),
         "cannot read this file: the chunk at offset 51 declares 2,145 bytes; the file ends "
         "after 68. It takes no pad byte after the odd 'inst' chunk at offset 36."},
        {Corpus("go-audio-wav/misaligned-chunk.wav"),
         "the chunk at offset 51 declares 867,041,377 bytes; the file ends after 3,441,572."},
        {Corpus("scipy/test-44100Hz-le-1ch-4bytes-rf64.wav"),
         "reads RIFF files only: this is a RF64 file of 32-bit PCM in 1 channel."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.File);
        Form.SetAsFormat(false);
        EXPECT_FALSE(Open(c.File));
        EXPECT_EQ(Form.Series1->YValues.Count(), 0);
        QLabel* notice = Form.FormatNoticeLabel;
        ASSERT_TRUE(notice->isVisible());
        EXPECT_TRUE(notice->text().contains(c.Says)) << notice->text().toStdString();
        EXPECT_LE(notice->heightForWidth(notice->width()), notice->height()) << "all of it is seen";
        emit notice->linkActivated(QStringLiteral("format"));
        QApplication::processEvents();
        EXPECT_TRUE(Form.AsFormat());
        EXPECT_GT(Form.Series1->YValues.Count(), 0);
        EXPECT_FALSE(notice->isVisible());
    }
    // A file the default view reads says nothing of the kind.
    Form.SetAsFormat(false);
    EXPECT_TRUE(Open(Dir.Write("plain.wav", PlainWave(TWaveBytes::Frames({{1, 2}})))));
    EXPECT_FALSE(Form.FormatNoticeLabel->isVisible());
}

} // namespace
