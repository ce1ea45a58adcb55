#pragma once
// The handle between the control column and the plots in a shared window: dragged, it asks
// for another column width; the window says what the width becomes.

#include <functional>

#include <QWidget>

class TColumnHandle : public QWidget {
    Q_OBJECT
  public:
    explicit TColumnHandle(QWidget* parent = nullptr);

    // Told while the handle is dragged: the column width the pointer asks for.
    std::function<void(int width)> OnDragged;
    // Told when the drag ends.
    std::function<void()> OnDropped;
    // The column's width as the drag starts.
    std::function<int()> ColumnWidth;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool Dragging = false;
    int StartX = 0;     // the pointer's x on the screen as the drag started
    int StartWidth = 0; // the column's width then
};
