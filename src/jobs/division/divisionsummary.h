#pragma once

#include <vector>

namespace fenpai {

// How one new class came out of a division.
struct ClassBalance
{
    int classNumber = 0;
    int pupils = 0;
    int boys = 0;
    int girls = 0;
    int scored = 0; // pupils with a numeric score; the figures below are over these
    double mean = 0;
    double highest = 0;
    double lowest = 0;
};

// The balance of a finished division, class by class, as the command line reports it.
class DivisionSummary final
{
public:
    struct Pupil
    {
        int classNumber = 0;
        bool boy = false;
        bool girl = false;
        bool scored = false;
        double score = 0;
    };

    DivisionSummary() = default;
    // Classes 1..classCount, each also when nobody was dealt into it.
    DivisionSummary(int classCount, const std::vector<Pupil> &pupils);

    const std::vector<ClassBalance> &classes() const { return m_classes; }
    int pupils() const { return m_pupils; }
    // Highest minus lowest class mean, over the classes that have scored pupils.
    double meanSpread() const;

private:
    std::vector<ClassBalance> m_classes;
    int m_pupils = 0;
};

} // namespace fenpai
