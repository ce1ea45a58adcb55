#include "app/StructurePanel.h"

#include <algorithm>

#include <QFontDatabase>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/HexText.h"
#include "app/NumberText.h"

namespace {

// Beside the export button, clear of the facts above and the marker choice below.
const QRect StructureButtonPlace(117, 406, 100, 20);

// An id's bytes as text: printable ASCII as it is, anything else as \xNN.
QString IdText(const std::string& id) {
    QString text;
    for (const char c : id) {
        const auto byte = std::uint8_t(c);
        text += byte >= 0x20 && byte < 0x7F
                    ? QString(QLatin1Char(c))
                    : QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    return text;
}

QString NodeName(const TChunkNode& node) {
    if (node.Id.empty())
        return QStringLiteral("File");
    QString name = IdText(node.Id);
    if (!node.Form.empty())
        name += QStringLiteral(" (%1)").arg(IdText(node.Form));
    return name;
}

QString Lines(const std::vector<std::string>& lines) {
    QStringList list;
    for (const std::string& line : lines)
        list << QStringLiteral("  ") + QString::fromStdString(line);
    return list.join(QLatin1Char('\n'));
}

// What the chunk is, as words: where, how big, its pad byte, its fields and its problems.
QString Details(const TChunkNode& node, bool root) {
    QStringList text;
    if (root)
        text << (node.Id.empty() ? QStringLiteral("The file")
                                 : QStringLiteral("The file's header: '%1'").arg(NodeName(node)));
    else if (node.TableEntry)
        text << QStringLiteral("The ds64 table's entry for '%1', at offset %2: %3 bytes")
                    .arg(IdText(node.Id), GroupedNumber(node.Offset), GroupedNumber(node.Declared));
    else
        text << QStringLiteral("'%1' at offset %2: its body of %3 bytes starts at %4")
                    .arg(NodeName(node), GroupedNumber(node.Offset), GroupedNumber(node.Declared),
                         GroupedNumber(node.BodyOffset()));
    if (!root && !node.TableEntry && node.Used != node.Declared)
        text << QStringLiteral("%1 bytes of it are read").arg(GroupedNumber(node.Used));
    if (node.Pad == pbPresent)
        text << QStringLiteral("Its odd body is followed by its pad byte.");
    else if (node.Pad == pbMissing)
        text << QStringLiteral("Its odd body has no pad byte after it.");
    if (!node.Fields.empty())
        text << QString() << QStringLiteral("Fields:") << Lines(node.Fields);
    if (!node.Problems.empty())
        text << QString() << QStringLiteral("Problems:") << Lines(node.Problems);
    return text.join(QLatin1Char('\n'));
}

// The bytes a node stands for: a chunk's header, body and pad byte; the root's header; a
// table entry's 12 bytes.
std::uint64_t ShownBytes(const TChunkNode& node, bool root) {
    if (root)
        return node.HeaderSize;
    if (node.TableEntry)
        return node.Used;
    return node.HeaderSize + node.Used + (node.Pad == pbPresent ? 1 : 0);
}

} // namespace

TStructurePanel::TStructurePanel(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("StructurePanel"));
    setWindowTitle(QStringLiteral("File structure"));
    resize(900, 560);
    auto* layout = new QVBoxLayout(this);
    Title = new QLabel(this);
    Title->setObjectName(QStringLiteral("StructureTitle"));
    Title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Tree = new QTreeWidget(this);
    Tree->setObjectName(QStringLiteral("StructureTree"));
    Tree->setColumnCount(scColumns);
    Tree->setHeaderLabels({QStringLiteral("Chunk"), QStringLiteral("Offset"),
                           QStringLiteral("Declared"), QStringLiteral("Used"),
                           QStringLiteral("Pad byte"), QStringLiteral("Problems")});
    Tree->setUniformRowHeights(true);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    Fields = new QPlainTextEdit(this);
    Fields->setObjectName(QStringLiteral("StructureFields"));
    Fields->setReadOnly(true);
    Hex = new QPlainTextEdit(this);
    Hex->setObjectName(QStringLiteral("StructureHex"));
    Hex->setReadOnly(true);
    Hex->setLineWrapMode(QPlainTextEdit::NoWrap);
    Hex->setFont(fixed);
    auto* chosen = new QSplitter(Qt::Horizontal, this);
    chosen->addWidget(Fields);
    chosen->addWidget(Hex);
    chosen->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(Tree);
    split->addWidget(chosen);
    layout->addWidget(Title);
    layout->addWidget(split, 1);
    connect(Tree, &QTreeWidget::currentItemChanged, this, [this] { ShowChosen(); });
    ShowNothing();
}

void TStructurePanel::ShowNothing() {
    Tree->clear();
    Bytes.reset();
    Pending = {};
    TreePending = false;
    Root = {};
    Title->setText(QStringLiteral("No file is loaded."));
    Fields->clear();
    Hex->clear();
}

void TStructurePanel::ShowFile(const TAudioFile& file, const QString& name) {
    if (!file.Bytes && file.Facts.Problems.empty()) {
        ShowNothing();
        return;
    }
    Tree->clear();
    Root = {};
    Fields->clear();
    Hex->clear();
    Bytes = file.Bytes;
    Title->setText(Bytes ? QStringLiteral("%1: %2 bytes").arg(name, GroupedNumber(Bytes->Size()))
                         : name);
    // A file of many chunks takes a while to make a tree of: not made for a panel not seen.
    Pending = file;
    TreePending = true;
    if (isVisible())
        ShowTree();
}

void TStructurePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (TreePending)
        ShowTree();
}

void TStructurePanel::ShowTree() {
    TreePending = false;
    Root = ChunkTreeOf(Pending);
    Pending = {};
    AddNode(Root, nullptr);
    Tree->expandAll();
    for (int column = 0; column < scProblems; ++column)
        Tree->resizeColumnToContents(column);
    Tree->setCurrentItem(Tree->topLevelItem(0));
    ShowChosen();
}

void TStructurePanel::AddNode(const TChunkNode& node, QTreeWidgetItem* parent) {
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Tree);
    item->setText(scChunk, NodeName(node));
    item->setText(scOffset, GroupedNumber(node.Offset));
    item->setText(scDeclared, GroupedNumber(node.Declared));
    item->setText(scUsed, GroupedNumber(node.Used));
    item->setText(scPad,
                  node.Pad == pbNone ? QString() : QString::fromStdString(PadByteText(node.Pad)));
    if (!node.Problems.empty()) {
        QStringList problems;
        for (const std::string& problem : node.Problems)
            problems << QString::fromStdString(problem);
        item->setText(scProblems, problems.join(QLatin1Char(' ')));
        item->setToolTip(scProblems, problems.join(QLatin1Char('\n')));
        item->setForeground(scProblems, QColor(190, 0, 0));
    }
    for (int column : {scOffset, scDeclared, scUsed})
        item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    item->setData(scChunk, Qt::UserRole, QVariant::fromValue<quintptr>(quintptr(&node)));
    for (const TChunkNode& child : node.Children)
        AddNode(child, item);
}

void TStructurePanel::ShowChosen() {
    const QTreeWidgetItem* item = Tree->currentItem();
    if (item == nullptr) {
        Fields->clear();
        Hex->clear();
        return;
    }
    const auto* node =
        reinterpret_cast<const TChunkNode*>(item->data(scChunk, Qt::UserRole).value<quintptr>());
    const bool root = item->parent() == nullptr;
    Fields->setPlainText(Details(*node, root));
    if (!Bytes) {
        Hex->clear();
        return;
    }
    // What the file holds of it, at most HexLimit bytes.
    const std::uint64_t size = Bytes->Size();
    const std::uint64_t from = std::min(node->Offset, size);
    const std::uint64_t there = std::min(ShownBytes(*node, root), size - from);
    const std::uint64_t shown = std::min(there, HexLimit);
    QString text = QString::fromLatin1(HexText(Bytes->Data() + from, shown, from));
    if (shown < there)
        text += QStringLiteral("\nThe first %1 of its %2 bytes are shown.")
                    .arg(GroupedNumber(shown), GroupedNumber(there));
    Hex->setPlainText(text);
}

QPushButton* AddStructureButton(QWidget* column, QWidget* window, TStructurePanel* panel) {
    auto* button = new QPushButton(QStringLiteral("Structure..."), column);
    button->setObjectName(QStringLiteral("StructureButton"));
    button->setGeometry(StructureButtonPlace);
    button->setFocusPolicy(Qt::ClickFocus);
    button->setToolTip(
        QStringLiteral("Every chunk of the file, its fields and its bytes (Ctrl+T)"));
    QObject::connect(button, &QPushButton::clicked, panel, [panel] {
        panel->show();
        panel->raise();
        panel->activateWindow();
    });
    QObject::connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+T")), window),
                     &QShortcut::activated, button, &QPushButton::click);
    return button;
}
