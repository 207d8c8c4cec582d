#pragma once

#include <QHeaderView>
#include <QImage>
#include <QTableWidget>

// The three 13 x 13 check-box pictures side by side (39 x 13): 0 blank, 1 an empty box,
// 2 a ticked box. Drawn here, so no image file is needed.
QImage checkBoxImages();

// Header of a CCheckListCtrl: shows check-box picture 1 or 2 at the left of its first section
// and reports clicks on that section.
class CCheckHeadCtrl : public QHeaderView {
    Q_OBJECT

public:
    explicit CCheckHeadCtrl(QWidget *parent = nullptr);

    int image() const { return m_image; }
    void setImage(int image);
    // Where the box is drawn in the first section.
    QRect boxRect() const;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QImage m_images;
    int m_image = 1;
};

// A report-style list with a check box on every row (in the first column) and one in the first
// column's header: clicking the header box ticks or unticks every row, and the header box shows
// ticked exactly while no row is unticked.
class CCheckListCtrl : public QTableWidget {
    Q_OBJECT

public:
    struct Column {
        QString title;
        int width = 100;
        Qt::Alignment alignment = Qt::AlignLeft;
    };

    explicit CCheckListCtrl(QWidget *parent = nullptr);

    void setColumns(const std::vector<Column> &columns);
    // Appends a row with one text per column (the first gets the check box).
    void addRow(const QStringList &texts);
    // Appends many rows with one header update.
    void addRows(const std::vector<QStringList> &rows);
    // Removes every row; the header box returns to unticked.
    void clearRows();
    // Removes these rows (any order).
    void removeRows(std::vector<int> rows);

    bool isChecked(int row) const;
    void setChecked(int row, bool on);
    // Ticks or unticks every row at once.
    void setAllChecked(bool on);
    std::vector<int> checkedRows() const;
    QString text(int row, int column) const;

    CCheckHeadCtrl *checkHeader() const { return m_header; }

    // Header box clicked: flips its picture and ticks or unticks every row to match.
    void HeaderItemClicked();

Q_SIGNALS:
    // A row was clicked (also reached by the keyboard: the current row changed).
    void rowActivated(int row);

private:
    void RowStateChanged(QTableWidgetItem *item);
    void updateHeaderBox();

    CCheckHeadCtrl *m_header = nullptr;
    QList<Qt::Alignment> m_alignments;
    bool m_bulk = false; // set while many rows change at once, so the header is settled once
};
