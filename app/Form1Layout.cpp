// The main window's two layouts: the fixed one, and one that shares a large window between a
// column as wide as its handle is dragged and two plots of equal height.

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QShortcut>

#include "app/ColumnHandle.h"
#include "app/ColumnLayout.h"
#include "app/Form1.h"

namespace {

// At the foot of the column, below the link boxes.
const QRect ShareBoxPlace(8, 565, 217, 18);

// Shares of the column's free height: the facts get the most, as they hold the most lines.
constexpr int LogGrowth = 1;
constexpr int FactsGrowth = 2;

} // namespace

void TForm1::CreateLayoutControls() {
    ColumnHandle = new TColumnHandle(this);
    ColumnHandle->hide();
    ColumnHandle->ColumnWidth = [this] { return Panel1->width(); };
    ColumnHandle->OnDragged = [this](int width) {
        // What the window can show: the width kept is the one seen.
        SetColumnWidth(SharedColumnWidth(width, this->width()));
    };
    ColumnHandle->OnDropped = [this] {
        if (OnColumnWidthChanged)
            OnColumnWidthChanged(SharedColumn);
    };
    ColumnPlaces =
        std::make_unique<TColumnLayout>(*Panel1, QSize(FixedColumnWidth, FixedClientSize.height()));
    ColumnPlaces->SetGrowth(Memo1, LogGrowth);
    ColumnPlaces->SetGrowth(FactsBox, FactsGrowth);
    ShareBox = new QCheckBox(QStringLiteral("Share the window"), Panel1);
    ShareBox->setObjectName(QStringLiteral("ShareWindow"));
    ShareBox->setGeometry(ShareBoxPlace);
    ShareBox->setFocusPolicy(Qt::ClickFocus);
    ShareBox->setToolTip(QStringLiteral("Plots of equal height, a column that widens (drag its "
                                        "edge) and a taller log and facts panel (Ctrl+L)"));
    connect(ShareBox, &QCheckBox::toggled, this, [this](bool on) {
        if (on == (Layout == wlShare))
            return;
        SetWindowLayout(on ? wlShare : wlFixed);
        if (OnWindowLayoutChanged)
            OnWindowLayoutChanged(Layout);
    });
    connect(new QShortcut(QKeySequence(QStringLiteral("Ctrl+L")), this), &QShortcut::activated,
            ShareBox, &QCheckBox::click);
}

void TForm1::SetWindowLayout(TWindowLayout layout) {
    if (layout == Layout)
        return;
    Layout = layout;
    ShareBox->setChecked(layout == wlShare);
    if (layout == wlFixed)
        ColumnPlaces->Restore();
    LayoutControls();
}

void TForm1::SetColumnWidth(int width) {
    if (width == SharedColumn)
        return;
    SharedColumn = width;
    if (Layout == wlShare)
        LayoutControls();
}
