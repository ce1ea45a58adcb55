#pragma once
// The file's structure in a window of its own: every chunk as a tree (LIST entries and the
// ds64 table beneath theirs) with its offset, sizes, pad byte and problems; the chunk chosen
// shows its fields as the decoders read them beside its bytes in hex. It shows the file as its
// format is read, whichever view the main window shows.

#include <cstdint>
#include <memory>

#include <QWidget>

#include "wave/AudioFile.h"
#include "wave/ChunkTree.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TStructurePanel : public QWidget {
    Q_OBJECT
  public:
    explicit TStructurePanel(QWidget* parent = nullptr);

    // Shows `file`'s chunks (a file that could not be opened: its problems); `name` titles it.
    // The tree is made while the panel is shown, else when it is next shown.
    void ShowFile(const TAudioFile& file, const QString& name);
    void ShowNothing();

    // The tree's columns.
    enum TColumn { scChunk, scOffset, scDeclared, scUsed, scPad, scProblems, scColumns };
    // The most bytes of one chunk shown in hex; the rest is said, not shown.
    static constexpr std::uint64_t HexLimit = 64 * 1024;

    QLabel* Title;
    QTreeWidget* Tree;
    QPlainTextEdit* Fields; // the chosen chunk's fields and problems
    QPlainTextEdit* Hex;    // its bytes

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowTree();
    void AddNode(const TChunkNode& node, QTreeWidgetItem* parent);
    void ShowChosen();

    std::shared_ptr<const TFileBytes> Bytes; // the file shown, kept while it is
    TAudioFile Pending;                      // a file whose tree is still to be made
    bool TreePending = false;
    TChunkNode Root;
};

// The button in `column` that opens `panel`, and its key (Ctrl+T) in `window`.
QPushButton* AddStructureButton(QWidget* column, QWidget* window, TStructurePanel* panel);
