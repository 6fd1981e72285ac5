#include "QualitySearch.h"

#include <algorithm>
#include <cmath>

QualitySearch::QualitySearch(Goal goal, int maxEncodes)
    : m_goal(goal), m_maxEncodes(std::max(1, maxEncodes)) {}

bool QualitySearch::meets(const Sample& sample) const {
    if (const auto* target = std::get_if<TargetSsim>(&m_goal))
        return sample.ssim && *sample.ssim >= target->ssim;
    return sample.bytes <= std::get<TargetBytes>(m_goal).bytes;
}

QualitySearch::Point QualitySearch::pointOf(const Sample& sample) const {
    // Bytes grow and the SSIM's distance from 1 shrinks roughly exponentially with quality,
    // so their logarithms interpolate well.
    if (const auto* target = std::get_if<TargetSsim>(&m_goal)) {
        const auto gap = [](double ssim) { return std::log(std::max(1e-9, 1 - ssim)); };
        return {sample.quality, sample.ssim ? gap(target->ssim) - gap(*sample.ssim) : NAN};
    }
    const double limit = static_cast<double>(std::get<TargetBytes>(m_goal).bytes);
    return {MaxQuality - sample.quality,
            std::log(limit) - std::log(static_cast<double>(std::max<qint64>(1, sample.bytes)))};
}

QualitySearch::Bracket QualitySearch::bracket() const {
    Bracket b{0, Steps, {}, {}};
    for (const Sample& s : m_samples) {
        const Point p = pointOf(s);
        if (meets(s) && p.step < b.high) {
            b.high = p.step;
            b.hit = p;
        }
    }
    // A miss above the lowest hit contradicts it and says nothing about where the goal starts.
    for (const Sample& s : m_samples) {
        const Point p = pointOf(s);
        if (!meets(s) && p.step < b.high && p.step >= b.low) {
            b.low = p.step + 1;
            b.miss = p;
        }
    }
    return b;
}

// The first step the measured ends say meets the goal; -1 when they cannot say.
int QualitySearch::estimate(const Bracket& b) const {
    std::optional<Point> from = b.miss;
    std::optional<Point> to = b.hit;
    if (!from || !to) {
        // One side only: extend the line through its two samples nearest the boundary.
        std::vector<Point> side;
        for (const Sample& s : m_samples)
            if (meets(s) == bool(b.hit))
                side.push_back(pointOf(s));
        if (side.size() < 2)
            return -1;
        std::sort(side.begin(), side.end(), [&](const Point& x, const Point& y) {
            return b.hit ? x.step < y.step : x.step > y.step;
        });
        from = side[0];
        to = side[1];
    }
    double marginFrom = from->margin;
    double marginTo = to->margin;
    if (m_lastMoved != 0 && b.miss && b.hit)
        (m_lastMoved > 0 ? marginFrom : marginTo) *= m_staleWeight;
    if (!std::isfinite(marginFrom) || !std::isfinite(marginTo) || marginFrom == marginTo)
        return -1;
    const double crossing =
        from->step + (0 - marginFrom) * (to->step - from->step) / (marginTo - marginFrom);
    if (!std::isfinite(crossing))
        return -1;
    return static_cast<int>(std::clamp(std::ceil(crossing), 0.0, double(Steps)));
}

std::optional<int> QualitySearch::nextQuality() const {
    const int remaining = m_maxEncodes - static_cast<int>(m_samples.size());
    const Bracket b = bracket();
    if (remaining <= 0 || b.low >= b.high)
        return std::nullopt;
    // A probe p splits [low, high] into [low, p] (a hit) and [p + 1, high] (a miss); each
    // must be resolvable by the encodes left after it, or the search could end unresolved.
    const int reach = remaining - 1 >= 30 ? 1 << 30 : 1 << (remaining - 1);
    int first = std::max(b.low, b.high - reach);
    int last = std::min(b.high - 1, b.low + reach - 1);
    if (first > last)
        first = last = b.low + (b.high - b.low) / 2;
    // Short of encodes and no hit yet: the last one goes to the top, so the goal is reached
    // whenever it can be at all.
    if (remaining == 1 && b.high == Steps)
        first = last = Steps - 1;
    const int guess = estimate(b);
    const int step = std::clamp(guess >= 0 ? guess : b.low + (b.high - b.low) / 2, first, last);
    return std::holds_alternative<TargetSsim>(m_goal) ? step : MaxQuality - step;
}

void QualitySearch::report(int quality, qint64 bytes, std::optional<double> ssim) {
    const Bracket before = bracket();
    std::erase_if(m_samples, [&](const Sample& s) { return s.quality == quality; });
    m_samples.push_back({quality, bytes, ssim});
    const Bracket after = bracket();
    const int moved = after.high != before.high ? 1 : after.low != before.low ? -1 : 0;
    m_staleWeight = moved != 0 && moved == m_lastMoved ? m_staleWeight / 2 : 1;
    m_lastMoved = moved;
}

QualitySearch::Choice QualitySearch::chosen() const {
    // Within the goal the quality decides, as the search resolves it: the lowest for SSIM, the
    // highest for bytes. Outside it the result closest to the goal: best SSIM, fewest bytes.
    const bool bySsim = std::holds_alternative<TargetSsim>(m_goal);
    const auto rank = [&](const Sample& s) {
        if (meets(s))
            return std::pair{1.0, double(bySsim ? -s.quality : s.quality)};
        return std::pair{0.0, bySsim ? s.ssim.value_or(-1) : -double(s.bytes)};
    };
    const auto best =
        std::max_element(m_samples.begin(), m_samples.end(),
                         [&](const Sample& x, const Sample& y) { return rank(x) < rank(y); });
    if (best == m_samples.end())
        return {};
    return {best->quality, meets(*best), best->bytes, best->ssim,
            static_cast<int>(m_samples.size())};
}
