#include "trace/TraceDocument.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A document with `n` loaded slots named a.sor, b.sor, ... in colours 1..n.
void load(TraceDocument &doc, int n)
{
    for (int i = 0; i < 8; ++i)
        doc.traces.colourTable[static_cast<size_t>(i + 1)] = 0x100u * static_cast<uint32_t>(i + 1);
    for (int i = 0; i < n; ++i) {
        TraceSlot &slot = doc.traces.slots[static_cast<size_t>(i)];
        slot.loaded = 1;
        slot.fileName = QString(QChar('a' + i)) + QStringLiteral(".sor");
        slot.trace->colour = doc.traces.colourFor(i + 1);
    }
    doc.traces.loadedCount = n;
}

struct Recorder {
    std::vector<DocumentChange> notices;
    int id = 0;
    explicit Recorder(TraceDocument &doc)
    {
        id = doc.subscribe([this](const DocumentChange &c) { notices.push_back(c); });
    }
};

} // namespace

TEST(TraceDocument, EditsNameWhatTheyChangedAndPublishSendsThatOnce)
{
    TraceDocument doc;
    load(doc, 3);
    Recorder rec(doc);

    const DocumentChange selected = doc.select(2);
    EXPECT_TRUE(selected.current);
    EXPECT_FALSE(selected.slots);
    EXPECT_EQ(doc.traces.currentSlot, 2);
    EXPECT_TRUE(rec.notices.empty()) << "an edit sends nothing; its command publishes";
    doc.publish(selected);
    ASSERT_EQ(rec.notices.size(), 1u);
    EXPECT_TRUE(rec.notices[0].current);

    const DocumentChange removed = doc.remove(0);
    EXPECT_TRUE(removed.slots && removed.current);
    const DocumentChange mode = doc.setMeasurementMode(MeasurementMode::Lsa);
    EXPECT_TRUE(mode.cursors && !mode.slots);
    EXPECT_EQ(doc.measurementMode, MeasurementMode::Lsa);

    // Two edits of one command go out as one notice naming both.
    DocumentChange both = removed;
    both |= mode;
    doc.publish(both);
    ASSERT_EQ(rec.notices.size(), 2u);
    EXPECT_TRUE(rec.notices[1].slots && rec.notices[1].current && rec.notices[1].cursors);

    const DocumentChange cleared = doc.clear();
    EXPECT_TRUE(cleared.slots);
    EXPECT_EQ(doc.traces.loadedCount, 0);
    EXPECT_EQ(doc.currentTrace(), nullptr);
    EXPECT_EQ(doc.notices(), 2u);
}

TEST(TraceDocument, EditsThatChangeNothingNameNothingAndSendNothing)
{
    TraceDocument doc;
    load(doc, 2);
    Recorder rec(doc);
    EXPECT_FALSE(doc.select(2).any()) << "no such slot";
    EXPECT_FALSE(doc.select(-1).any());
    EXPECT_FALSE(doc.remove(5).any());
    EXPECT_EQ(doc.traces.loadedCount, 2);
    doc.publish(DocumentChange{});
    EXPECT_TRUE(rec.notices.empty());
    EXPECT_EQ(doc.notices(), 0u);
}

TEST(TraceDocument, RemoveClosesTheGapRenumbersColoursAndPicksTheNextSlot)
{
    struct Case {
        int loaded, current, removed;
        int currentAfter;
        const char *namesAfter;
    };
    const Case cases[] = {
        {3, 1, 1, 1, "ac"}, // the slot that took the removed one's place
        {3, 2, 2, 1, "ab"}, // the last removed: the new last
        {3, 2, 0, 0, "bc"}, // the removed slot decides, not the one current before
        {1, 0, 0, 0, ""},   // none left
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "loaded " << c.loaded << " remove " << c.removed);
        TraceDocument doc;
        load(doc, c.loaded);
        doc.traces.currentSlot = c.current;
        const TraceData *kept = doc.traces.slots[static_cast<size_t>(c.loaded - 1)].trace.get();
        ASSERT_TRUE(doc.remove(c.removed).any());
        EXPECT_EQ(doc.traces.loadedCount, c.loaded - 1);
        EXPECT_EQ(doc.traces.currentSlot, c.currentAfter);
        QString names;
        for (int i = 0; i < doc.traces.loadedCount; ++i) {
            const TraceSlot &slot = doc.traces.slots[static_cast<size_t>(i)];
            names += slot.fileName.left(1);
            EXPECT_EQ(slot.trace->colour, doc.traces.colourFor(i + 1)) << "slot " << i;
        }
        EXPECT_EQ(names, QString::fromLatin1(c.namesAfter));
        if (c.removed != c.loaded - 1) {
            EXPECT_EQ(doc.traces.slots[static_cast<size_t>(c.loaded - 2)].trace.get(), kept)
                << "a slot moves up with its own trace object";
        }
    }
}

TEST(TraceDocument, UnsubscribedListenersHearNothing)
{
    TraceDocument doc;
    load(doc, 2);
    Recorder first(doc);
    Recorder second(doc);
    doc.unsubscribe(first.id);
    doc.publish(doc.select(1));
    EXPECT_TRUE(first.notices.empty());
    EXPECT_EQ(second.notices.size(), 1u);
}
