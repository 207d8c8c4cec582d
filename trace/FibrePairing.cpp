#include "trace/FibrePairing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>

namespace {

std::vector<double> distancesOf(const std::vector<FibreEvent> &events)
{
    std::vector<double> d;
    d.reserve(events.size());
    for (const FibreEvent &e : events)
        d.push_back(e.distanceM);
    return d;
}

// The events of `events` (distance order) that lie between the fibre ends: farther than the
// tolerance from the launch and from the end at `lengthM`.
std::vector<FibreEvent> betweenEnds(const std::vector<FibreEvent> &events, double lengthM, double tolerance)
{
    std::vector<FibreEvent> kept;
    for (const FibreEvent &e : events) {
        if (e.distanceM > tolerance && e.distanceM < lengthM - tolerance)
            kept.push_back(e);
    }
    return kept;
}

std::optional<double> worseReflectance(double a, double b)
{
    // 0 is "no reflectance"; of two measured ones the higher (nearer 0 dB) is the worse.
    if (a == 0.0 && b == 0.0)
        return std::nullopt;
    if (a == 0.0)
        return b;
    if (b == 0.0)
        return a;
    return std::max(a, b);
}

bool differentIdentity(const QString &a, const QString &b)
{
    return !a.trimmed().isEmpty() && !b.trimmed().isEmpty() && a.trimmed() != b.trimmed();
}

PairWarnings warningsFor(const FibreTrace &a, const FibreTrace &b, double tolerance)
{
    PairWarnings w;
    w.pulseWidth = a.pulseWidthNs != b.pulseWidthNs;
    w.groupIndex = std::fabs(static_cast<double>(a.refractiveIndex) - static_cast<double>(b.refractiveIndex)) > 1e-5;
    w.length = std::fabs(a.lengthM - b.lengthM) > tolerance;
    w.identity = differentIdentity(a.cableId, b.cableId) || differentIdentity(a.fiberId, b.fiberId);
    return w;
}

} // namespace

FibreTrace fibreTrace(const LinkSummary &summary, const TraceData &trace)
{
    FibreTrace f;
    f.file = summary.file;
    f.wavelengthNm = trace.wavelengthNm;
    f.pulseWidthNs = trace.pulseWidthNs;
    f.refractiveIndex = trace.refractiveIndex;
    f.lengthM = summary.lengthM ? static_cast<double>(*summary.lengthM) : 0.0;
    if (summary.totalLossDb)
        f.totalLossDb = static_cast<double>(*summary.totalLossDb);
    f.verdict = summary.verdict;
    f.cableId = trace.cableId;
    f.fiberId = trace.fiberId;
    f.locationA = trace.locationA;
    f.locationB = trace.locationB;
    const int end = endEventIndex(trace);
    for (int i = 0; i < end; ++i) {
        const TraceEvent &e = trace.events[static_cast<size_t>(i)];
        if (!std::isfinite(e.distance))
            continue;
        f.events.push_back({static_cast<double>(e.distance), static_cast<double>(e.loss),
                            static_cast<double>(e.reflectance)});
    }
    std::stable_sort(f.events.begin(), f.events.end(),
                     [](const FibreEvent &x, const FibreEvent &y) { return x.distanceM < y.distanceM; });
    return f;
}

const char *seenWord(Seen seen)
{
    switch (seen) {
    case Seen::Both:
        return "both";
    case Seen::First:
        return "ab";
    case Seen::Second:
        return "ba";
    }
    return "both";
}

bool sameWavelength(int32_t a, int32_t b)
{
    return std::abs(a - b) < sameWavelengthNm;
}

double matchTolerance(std::optional<double> given, int32_t pulseA, int32_t pulseB)
{
    if (given)
        return *given;
    return std::max(25.0, 0.1 * static_cast<double>(std::max(pulseA, pulseB)));
}

std::vector<std::pair<int, int>> matchEvents(const std::vector<double> &a, const std::vector<double> &b,
                                             double tolerance)
{
    // Every candidate pair within the tolerance, nearest first; each event takes its nearest
    // free partner. Lists are short (at most a few hundred events), so the square is cheap.
    struct Candidate {
        double gap;
        int i;
        int j;
    };
    std::vector<Candidate> candidates;
    size_t start = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        while (start < b.size() && b[start] < a[i] - tolerance)
            ++start;
        for (size_t j = start; j < b.size() && b[j] <= a[i] + tolerance; ++j)
            candidates.push_back({std::fabs(a[i] - b[j]), static_cast<int>(i), static_cast<int>(j)});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate &x, const Candidate &y) { return x.gap < y.gap; });
    std::vector<int> partnerOfA(a.size(), -1);
    std::vector<int> partnerOfB(b.size(), -1);
    for (const Candidate &c : candidates) {
        if (partnerOfA[static_cast<size_t>(c.i)] >= 0 || partnerOfB[static_cast<size_t>(c.j)] >= 0)
            continue;
        partnerOfA[static_cast<size_t>(c.i)] = c.j;
        partnerOfB[static_cast<size_t>(c.j)] = c.i;
    }
    std::vector<std::pair<int, int>> pairs;
    for (size_t i = 0; i < a.size(); ++i)
        pairs.emplace_back(static_cast<int>(i), partnerOfA[i]);
    for (size_t j = 0; j < b.size(); ++j) {
        if (partnerOfB[j] < 0)
            pairs.emplace_back(-1, static_cast<int>(j));
    }
    const auto position = [&](const std::pair<int, int> &p) {
        return p.first >= 0 ? a[static_cast<size_t>(p.first)] : b[static_cast<size_t>(p.second)];
    };
    std::stable_sort(pairs.begin(), pairs.end(),
                     [&](const auto &x, const auto &y) { return position(x) < position(y); });
    return pairs;
}

BidirResult pairDirections(const FibreTrace &ab, const FibreTrace &ba, std::optional<double> toleranceM)
{
    BidirResult r;
    r.toleranceM = matchTolerance(toleranceM, ab.pulseWidthNs, ba.pulseWidthNs);
    if (!sameWavelength(ab.wavelengthNm, ba.wavelengthNm)) {
        r.refusal = PairRefusal::DifferentWavelengths;
        return r;
    }
    r.warnings = warningsFor(ab, ba, r.toleranceM);
    r.fibreLengthM = std::max(ab.lengthM, ba.lengthM);
    r.totalLossAbDb = ab.totalLossDb;
    r.totalLossBaDb = ba.totalLossDb;
    if (ab.totalLossDb && ba.totalLossDb)
        r.totalLossDb = (*ab.totalLossDb + *ba.totalLossDb) / 2.0;

    const std::vector<FibreEvent> forward = betweenEnds(ab.events, ab.lengthM, r.toleranceM);
    // B->A events in the A->B frame, turned round into distance order.
    std::vector<FibreEvent> backward = betweenEnds(ba.events, ba.lengthM, r.toleranceM);
    for (FibreEvent &e : backward)
        e.distanceM = ba.lengthM - e.distanceM;
    std::reverse(backward.begin(), backward.end());

    for (const auto &[i, j] : matchEvents(distancesOf(forward), distancesOf(backward), r.toleranceM)) {
        BidirEvent e;
        const FibreEvent *f = i >= 0 ? &forward[static_cast<size_t>(i)] : nullptr;
        const FibreEvent *b = j >= 0 ? &backward[static_cast<size_t>(j)] : nullptr;
        e.seen = f && b ? Seen::Both : (f ? Seen::First : Seen::Second);
        e.distanceM = f ? f->distanceM : b->distanceM;
        e.lossAbDb = f ? f->lossDb : 0.0;
        e.lossBaDb = b ? b->lossDb : 0.0;
        e.lossDb = (e.lossAbDb + e.lossBaDb) / 2.0;
        e.reflectanceDb = worseReflectance(f ? f->reflectanceDb : 0.0, b ? b->reflectanceDb : 0.0);
        r.events.push_back(e);
    }
    return r;
}

std::vector<FibreEvent> meanEvents(const BidirResult &result)
{
    std::vector<FibreEvent> events;
    events.reserve(result.events.size());
    for (const BidirEvent &e : result.events)
        events.push_back({e.distanceM, e.lossDb, e.reflectanceDb.value_or(0.0)});
    return events;
}

std::vector<WavelengthEvent> compareEventLists(const std::vector<FibreEvent> &shorter,
                                               const std::vector<FibreEvent> &longer, double lengthM,
                                               double toleranceM, double thresholdDb)
{
    const std::vector<FibreEvent> s = betweenEnds(shorter, lengthM, toleranceM);
    const std::vector<FibreEvent> l = betweenEnds(longer, lengthM, toleranceM);
    std::vector<WavelengthEvent> events;
    for (const auto &[i, j] : matchEvents(distancesOf(s), distancesOf(l), toleranceM)) {
        const FibreEvent *a = i >= 0 ? &s[static_cast<size_t>(i)] : nullptr;
        const FibreEvent *b = j >= 0 ? &l[static_cast<size_t>(j)] : nullptr;
        WavelengthEvent e;
        e.seen = a && b ? Seen::Both : (a ? Seen::First : Seen::Second);
        e.distanceM = a ? a->distanceM : b->distanceM;
        e.lossShortDb = a ? a->lossDb : 0.0;
        e.lossLongDb = b ? b->lossDb : 0.0;
        e.differenceDb = e.lossLongDb - e.lossShortDb;
        // Compared in thousandths of a dB, as the files store losses, so a difference printed
        // as the threshold is flagged.
        e.macrobend = std::llround(e.differenceDb * 1000.0) >= std::llround(thresholdDb * 1000.0);
        events.push_back(e);
    }
    return events;
}

WavelengthResult compareWavelengths(const FibreTrace &a, const FibreTrace &b, std::optional<double> toleranceM,
                                    double thresholdDb)
{
    WavelengthResult r;
    r.toleranceM = matchTolerance(toleranceM, a.pulseWidthNs, b.pulseWidthNs);
    if (sameWavelength(a.wavelengthNm, b.wavelengthNm)) {
        r.refusal = PairRefusal::SameWavelength;
        return r;
    }
    r.swapped = b.wavelengthNm < a.wavelengthNm;
    const FibreTrace &s = r.swapped ? b : a;
    const FibreTrace &l = r.swapped ? a : b;
    r.shortNm = s.wavelengthNm;
    r.longNm = l.wavelengthNm;
    r.warnings = warningsFor(s, l, r.toleranceM);
    // Pulse widths and group indexes differ by nature between wavelengths; only the fibre matters.
    r.warnings.pulseWidth = false;
    r.warnings.groupIndex = false;
    r.events = compareEventLists(s.events, l.events, std::max(s.lengthM, l.lengthM), r.toleranceM, thresholdDb);
    for (const WavelengthEvent &e : r.events)
        r.bends += e.macrobend ? 1 : 0;
    return r;
}

std::vector<FibreRow> pairByFibre(const std::vector<FibreTrace> &files)
{
    // A fibre is its cable and fibre identifiers; its wavelength bands are told apart within
    // sameWavelengthNm of the first file of each band.
    struct Band {
        int32_t wavelengthNm = 0;
        std::vector<int> files;
    };
    struct Fibre {
        QString cable;
        QString fibre;
        std::vector<Band> bands;
    };
    std::vector<Fibre> fibres;
    std::map<std::pair<QString, QString>, size_t> fibreIndex;
    // The A end of each cable: where its first file was launched.
    std::map<QString, QString> cableAEnd;
    for (size_t k = 0; k < files.size(); ++k) {
        const FibreTrace &f = files[k];
        const auto key = std::make_pair(f.cableId.trimmed(), f.fiberId.trimmed());
        auto found = fibreIndex.find(key);
        if (found == fibreIndex.end()) {
            found = fibreIndex.emplace(key, fibres.size()).first;
            fibres.push_back({key.first, key.second, {}});
        }
        cableAEnd.emplace(key.first, f.locationA.trimmed());
        std::vector<Band> &bands = fibres[found->second].bands;
        auto band = std::find_if(bands.begin(), bands.end(),
                                 [&](const Band &b) { return sameWavelength(b.wavelengthNm, f.wavelengthNm); });
        if (band == bands.end())
            band = bands.insert(bands.end(), Band{f.wavelengthNm, {}});
        band->files.push_back(static_cast<int>(k));
    }

    std::vector<FibreRow> rows;
    for (Fibre &fibre : fibres) {
        std::stable_sort(fibre.bands.begin(), fibre.bands.end(),
                         [](const Band &x, const Band &y) { return x.wavelengthNm < y.wavelengthNm; });
        const QString aEnd = cableAEnd[fibre.cable];
        for (const Band &band : fibre.bands) {
            std::vector<bool> used(band.files.size(), false);
            for (size_t i = 0; i < band.files.size(); ++i) {
                if (used[i])
                    continue;
                used[i] = true;
                const FibreTrace &first = files[static_cast<size_t>(band.files[i])];
                const QString la = first.locationA.trimmed();
                const QString lb = first.locationB.trimmed();
                int partner = -1;
                if (la != lb) {
                    for (size_t j = i + 1; j < band.files.size(); ++j) {
                        const FibreTrace &other = files[static_cast<size_t>(band.files[j])];
                        if (!used[j] && other.locationA.trimmed() == lb && other.locationB.trimmed() == la) {
                            partner = static_cast<int>(j);
                            break;
                        }
                    }
                }
                FibreRow row;
                row.ab = band.files[i];
                if (partner >= 0) {
                    used[static_cast<size_t>(partner)] = true;
                    row.ba = band.files[static_cast<size_t>(partner)];
                    // The direction launched at the cable's A end comes first.
                    if (lb == aEnd && la != aEnd)
                        std::swap(row.ab, row.ba);
                }
                rows.push_back(row);
            }
        }
    }
    return rows;
}
