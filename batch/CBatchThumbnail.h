#pragma once

#include "batch/BatchThumbnailLogic.h"
#include "panels/CMyButton.h"
#include "trace/SorRecord.h"
#include "trace/TraceLoader.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class CSorFileBase;

// The batch dialog's picture of one file: its first trace with the cursor marks A and B, which
// can be dragged when the dialog allows it. It reads files through its own SOR file object and
// keeps its own record; dragged positions go to the dialog's cursor store.
class CBatchThumbnail : public CMyButton {
    Q_OBJECT

public:
    CBatchThumbnail(CursorStore &store, QM7ZZZ_Acount_Total_Loss_fn totalLoss, QM7ZZZ_Event_Analysis_fn analysis = nullptr,
                    QWidget *parent = nullptr);
    ~CBatchThumbnail() override;

    void setPath(const QString &path);
    void setDraggingAllowed(bool allowed) { m_draggingAllowed = allowed; }
    // Cursor colour, 0x00BBGGRR as the configuration stores it.
    void setCursorColour(uint32_t colour) { m_cursorColour = colour; }

    const QString &path() const { return m_path; }
    const QString &loadedPath() const { return m_loadedPath; }
    const CursorPair &cursorPair() const { return m_pair; }
    float traceLength() const { return m_traceLength; }
    bool dragging() const { return m_dragging; }
    // The four A-B texts of the file shown (empty before the first load).
    const QStringList &abTexts() const { return m_abTexts; }
    // Loads the path now if it is not the one shown; false when it cannot be shown.
    bool ensureLoaded();
    // Where marks A and B are drawn at the current size.
    int markA() const;
    int markB() const;
    float markADistance() const { return m_markA; }
    float markBDistance() const { return m_markB; }

Q_SIGNALS:
    // The A-B texts changed (after a load or a drag).
    void abTextsChanged(const QStringList &texts);

protected:
    void DrawContent(QPainter &painter, const QRect &rect) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool load();
    void drawMark(QPainter &painter, const QRect &rect, float distance, const QString &label) const;
    void setPair(const CursorPair &pair);

    CursorStore &m_store;
    QM7ZZZ_Acount_Total_Loss_fn m_totalLoss;
    QM7ZZZ_Event_Analysis_fn m_analysis; // finds the events of a file that stores none
    std::unique_ptr<CSorFileBase> m_file;
    QString m_path;
    QString m_loadedPath;
    SorRecord m_record;
    std::vector<uint16_t> m_points; // first trace, normalised to 0.001 dB steps
    CursorPair m_pair;
    float m_markA = 0.0f; // m, where mark A is drawn; follows a drag even past the samples
    float m_markB = 0.0f; // m
    QStringList m_abTexts;
    float m_traceLength = 0.0f; // m
    uint32_t m_cursorColour = 0x0000FF;
    int m_hit = 0; // 0 none, 1 A, 2 B
    bool m_dragging = false;
    bool m_draggingAllowed = false;
};
