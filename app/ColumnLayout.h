#pragma once
// The control column at any size, from its controls' places at the fixed size: the controls
// that grow (the log, the facts) share the height beyond the fixed one, and whatever lies
// below a growing control moves down by what it grew; a control that spans the column (from
// its margin to its right edge) widens with it, and one at its right edge that starts further
// in moves with that edge. A row of a control at the margin and one at the right edge that
// starts in the column's left half is theirs to share: the first widens, the second moves. A
// control added to the column later follows the same rules without being named here.

#include <map>
#include <vector>

#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

struct TColumnControl {
    QRect Place;    // at the fixed size
    int Growth = 0; // its share of the height beyond the fixed one; 0 keeps its height
};

// The controls' places in a column of `size`, for `controls` placed in one of `fixedSize`.
// A column smaller than the fixed one keeps the fixed places (it scrolls).
std::vector<QRect> ColumnPlaces(const std::vector<TColumnControl>& controls, QSize fixedSize,
                                QSize size);

// Places the child controls of a column panel by ColumnPlaces. The first time it sees a
// control it takes its place as the fixed one.
class TColumnLayout {
  public:
    TColumnLayout(QWidget& panel, QSize fixedSize);

    // `control` takes `growth` shares of the height beyond the fixed one.
    void SetGrowth(QWidget* control, int growth);
    // Places the controls for the panel's current size.
    void Place();
    // Puts every control back at its fixed place.
    void Restore();

  private:
    void Learn();

    QWidget& Panel;
    QSize FixedSize;
    struct TKnown {
        QPointer<QWidget> Control;
        TColumnControl Fixed;
    };
    std::vector<TKnown> Known;
    std::map<const QWidget*, int> Growths;
};
