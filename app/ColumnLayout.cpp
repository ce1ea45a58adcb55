#include "app/ColumnLayout.h"

#include <algorithm>

#include <QWidget>

namespace {

// A control ending this close to the column's right edge belongs to that edge; one starting
// this close to its left edge starts at its margin; one this close to the next is beside it.
constexpr int EdgeReach = 16;

bool ReachesRight(const QRect& place, QSize fixedSize) {
    return place.right() + 1 >= fixedSize.width() - EdgeReach;
}

bool AtMargin(const QRect& place) {
    return place.left() <= EdgeReach;
}

// A control at the margin with one beside it at the right edge that starts in the column's
// left half: the two share the row, and the one at the margin takes the width it gains.
bool SharesRowWithTheEdge(const std::vector<TColumnControl>& controls, std::size_t i,
                          QSize fixedSize) {
    const QRect& place = controls[i].Place;
    if (!AtMargin(place) || ReachesRight(place, fixedSize))
        return false;
    return std::any_of(controls.begin(), controls.end(), [&](const TColumnControl& other) {
        const QRect& beside = other.Place;
        return ReachesRight(beside, fixedSize) && !AtMargin(beside) &&
               beside.left() < fixedSize.width() / 2 && beside.left() > place.right() &&
               beside.left() - place.right() <= EdgeReach && beside.top() <= place.bottom() &&
               place.top() <= beside.bottom();
    });
}

} // namespace

std::vector<QRect> ColumnPlaces(const std::vector<TColumnControl>& controls, QSize fixedSize,
                                QSize size) {
    const int extraHeight = std::max(0, size.height() - fixedSize.height());
    const int extraWidth = std::max(0, size.width() - fixedSize.width());
    int shares = 0;
    for (const TColumnControl& control : controls)
        shares += std::max(0, control.Growth);
    // Each growing control's extra height, in the order given: whole pixels that add up to
    // the extra height exactly.
    std::vector<int> grown(controls.size(), 0);
    if (shares > 0) {
        int sharesBefore = 0;
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const int growth = std::max(0, controls[i].Growth);
            grown[i] = extraHeight * (sharesBefore + growth) / shares -
                       extraHeight * sharesBefore / shares;
            sharesBefore += growth;
        }
    }
    std::vector<QRect> places;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        QRect place = controls[i].Place;
        // Down by what every growing control wholly above it grew.
        int down = 0;
        for (std::size_t j = 0; j < controls.size(); ++j)
            if (j != i && grown[j] > 0 && controls[j].Place.bottom() < place.top())
                down += grown[j];
        place.translate(0, down);
        place.setHeight(place.height() + grown[i]);
        if (ReachesRight(controls[i].Place, fixedSize)) {
            if (AtMargin(controls[i].Place))
                place.setWidth(place.width() + extraWidth); // spans the column
            else
                place.translate(extraWidth, 0); // sits at its right edge
        } else if (SharesRowWithTheEdge(controls, i, fixedSize)) {
            place.setWidth(place.width() + extraWidth);
        }
        places.push_back(place);
    }
    return places;
}

TColumnLayout::TColumnLayout(QWidget& panel, QSize fixedSize)
    : Panel(panel), FixedSize(fixedSize) {}

void TColumnLayout::SetGrowth(QWidget* control, int growth) {
    Growths[control] = growth;
}

void TColumnLayout::Learn() {
    Known.erase(std::remove_if(Known.begin(), Known.end(),
                               [](const TKnown& known) { return known.Control.isNull(); }),
                Known.end());
    for (QWidget* child : Panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow())
            continue;
        const bool known = std::any_of(Known.begin(), Known.end(), [child](const TKnown& k) {
            return k.Control.data() == child;
        });
        if (!known)
            Known.push_back({child, {child->geometry(), 0}});
    }
    for (TKnown& known : Known) {
        const auto growth = Growths.find(known.Control.data());
        known.Fixed.Growth = growth != Growths.end() ? growth->second : 0;
    }
}

void TColumnLayout::Place() {
    Learn();
    std::vector<TColumnControl> controls;
    for (const TKnown& known : Known)
        controls.push_back(known.Fixed);
    const std::vector<QRect> places = ColumnPlaces(controls, FixedSize, Panel.size());
    for (std::size_t i = 0; i < Known.size(); ++i)
        Known[i].Control->setGeometry(places[i]);
}

void TColumnLayout::Restore() {
    Learn();
    for (const TKnown& known : Known)
        known.Control->setGeometry(known.Fixed.Place);
}
