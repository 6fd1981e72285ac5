#pragma once
#include <QtGlobal>

#include <optional>
#include <variant>
#include <vector>

// Finds the encoder quality (0..100) that meets a goal with few encodes. No I/O: the caller
// asks nextQuality(), encodes (and measures) at it, report()s the outcome, until nextQuality()
// has nothing more, then keeps chosen().
//
// Both goals assume the measure mostly rises with quality but never trust it: the search
// brackets the boundary between measured misses and hits, probes inside the bracket at the
// point its two ends interpolate to (Illinois rule against one-sided steps), and limits each
// probe so that the bracket is always resolved to a single quality within maxEncodes (7 cover
// all 101 qualities plus "none"). With fewer it bisects while it cannot be exact, and spends the
// last encode on the top quality if nothing has met the goal yet. The choice is made among the
// measured results only.
class QualitySearch {
public:
    // The lowest quality whose SSIM against the source is at least `ssim`.
    struct TargetSsim {
        double ssim;
    };
    // The highest quality whose result has at most `bytes` bytes.
    struct TargetBytes {
        qint64 bytes;
    };
    using Goal = std::variant<TargetSsim, TargetBytes>;

    struct Choice {
        int quality = -1; // -1 when nothing was reported
        bool reached = false;
        qint64 bytes = 0;
        std::optional<double> ssim;
        int encodes = 0;
    };

    static constexpr int MaxQuality = 100;
    static constexpr int DefaultMaxEncodes = 7;

    explicit QualitySearch(Goal goal, int maxEncodes = DefaultMaxEncodes);

    // The next quality to encode at; nothing when the search is over.
    std::optional<int> nextQuality() const;
    // The outcome of an encode; for TargetSsim a missing SSIM counts as a miss.
    void report(int quality, qint64 bytes, std::optional<double> ssim);
    // Among the reported results, only ever one that met the goal when one did: for
    // TargetSsim the lowest quality that reached the SSIM, or else the highest SSIM; for
    // TargetBytes the highest quality within the limit, or else the fewest bytes.
    Choice chosen() const;

private:
    struct Sample {
        int quality;
        qint64 bytes;
        std::optional<double> ssim;
    };
    // The search runs on a scale where meeting the goal is "at or above" a point: the quality
    // itself for SSIM, 100 - quality for bytes.
    struct Point {
        int step;
        double margin; // >= 0 meets the goal; the distance to it on a scale close to linear
    };
    struct Bracket {
        int low;  // every step below is a measured miss (or outside the range)
        int high; // a measured hit, or Steps when none is known
        std::optional<Point> miss;
        std::optional<Point> hit;
    };
    static constexpr int Steps = MaxQuality + 1;

    bool meets(const Sample& sample) const;
    Point pointOf(const Sample& sample) const;
    Bracket bracket() const;
    int estimate(const Bracket& bracket) const;

    Goal m_goal;
    int m_maxEncodes;
    std::vector<Sample> m_samples;
    // Illinois rule: when the same end of the bracket moves twice in a row, the other end
    // weighs half (again) in the interpolation.
    int m_lastMoved = 0; // +1 the hit end, -1 the miss end, 0 neither
    double m_staleWeight = 1;
};
