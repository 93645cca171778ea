// The recovery page's file table and its header, which draws the check-all
// box and turns clicks into check-all and sort requests.
#pragma once

#include <QHeaderView>
#include <QPixmap>
#include <QTableView>

class MyQTableView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    // Moving to another row with the keyboard acts as a click on the new cell.
    void keyPressEvent(QKeyEvent* event) override;
};

class MyHeaderView : public QHeaderView {
    Q_OBJECT
public:
    MyHeaderView(Qt::Orientation orientation, QWidget* parent);

    QSize sizeHint() const override;
    bool is_all_checked() const { return all_checked; }
    // Set when the rows are refilled; the header is not repainted for it.
    void set_all_checked(bool value) { all_checked = value; }

signals:
    void check_all(const bool& value);
    void sort_column(int column);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QPixmap unchecked_image;
    QPixmap checked_image;
    bool all_checked = false;
};
