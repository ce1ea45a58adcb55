#pragma once
// Something that belongs to a chart and can ask it to repaint.

class TCustomAxisPanel;

class TCustomChartElement {
public:
    virtual ~TCustomChartElement() = default;

    TCustomAxisPanel* ParentChart() const { return Chart; }
    bool Active() const { return IsActive; }
    void SetActive(bool value);

    // Marks the owning chart for a later paint; never paints by itself.
    void RequestRepaint();

protected:
    friend class TCustomAxisPanel;
    TCustomAxisPanel* Chart = nullptr;
    bool IsActive = true;
};
