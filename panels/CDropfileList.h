#pragma once

#include <QStringList>
#include <QTableWidget>

// A report-style list (grid lines, whole-row selection) that accepts files dropped from the
// desktop and hands their local paths on, in drop order.
class CDropfileList : public QTableWidget {
    Q_OBJECT

public:
    explicit CDropfileList(QWidget *parent = nullptr);

    // The local file paths a drop carries; non-file URLs are left out.
    static QStringList droppedPaths(const QMimeData *data);

Q_SIGNALS:
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
