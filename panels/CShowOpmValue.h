#pragma once

#include "opm/OpmRecord.h"
#include "panels/TextLookup.h"

#include <QDialog>
#include <QList>
#include <QString>

class QPushButton;
class QTableWidget;

// The power-meter viewer: the records of one .opm file in a six-column table, and a button that
// asks for the print preview of them. The dialog has no OK button; Enter ends it with OK, Escape
// or closing the window with Cancel. It does not print itself: the button only emits
// printPreviewRequested() and the owner runs the preview with records().
class CShowOpmValue : public QDialog {
    Q_OBJECT

public:
    // Control identifiers, also the controls' objectNames.
    enum ControlId { IdList = 1077, IdPrintPreview = 1000 };

    // Column titles (text identifiers) and widths in pixels, in column order.
    static constexpr int columnCount = 6;
    static constexpr int columnTitleIds[columnCount] = {140, 139, 106, 250, 251, 252};
    static constexpr int columnWidths[columnCount] = {150, 150, 120, 120, 120, 220};

    // Reads `path` at once; a file that cannot be read or holds no valid record gives an empty
    // table. `texts` supplies the caption, column titles and button text.
    CShowOpmValue(const QString &path, TextLookup texts, QWidget *parent = nullptr);

    const QString &path() const { return m_path; }
    // The records shown, in file order.
    const QList<OpmRecord> &records() const { return m_records; }

Q_SIGNALS:
    // The user pressed "Print preview".
    void printPreviewRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setUpList();
    void fillList();

    QString m_path;
    TextLookup m_texts;
    QList<OpmRecord> m_records;
    QTableWidget *m_list = nullptr;
    QPushButton *m_printPreview = nullptr;
    bool m_scrolledToLastRow = false;
};
