#pragma once
// Something that belongs to a chart: it can be switched off, and it tells its owner of a
// change of its look through the owner's change handler (which ends in a repaint request).

#include <functional>

#include "Property.h"

class TCustomChartElement {
  public:
    virtual ~TCustomChartElement() = default;

    bool Active() const { return IsActive; }
    void SetActive(bool value) {
        if (ChangeValue(IsActive, value))
            RequestRepaint();
    }

    // Tells the owner the element looks different now; never paints by itself.
    void RequestRepaint() {
        if (OnChange)
            OnChange();
    }

    // Set by the owner.
    std::function<void()> OnChange;

  protected:
    bool IsActive = true;
};
