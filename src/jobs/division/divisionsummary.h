#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
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
    double sd = 0; // population standard deviation of the scores
};

// How a source school was spread over the new classes.
struct SchoolBalance
{
    QString name;
    int pupils = 0;
    int fewest = 0; // fewest pupils of the school in one class
    int most = 0;
};

// The pupils' wishes (指定班级, 同班, 分开) of a refined division.
struct WishOutcome
{
    int wishes = 0;
    int metBefore = 0; // by the dealing alone
    int met = 0;
    QStringList notes; // each wish that cannot be or was not met, by pupil name
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
        int school = -1; // any number per source school; negative for none
    };

    DivisionSummary() = default;
    // Classes 1..classCount, each also when nobody was dealt into it. schoolNames[i] names the
    // school numbered i. `ranges` are the blocks of classes dealt apart (the layers); the spreads
    // below are taken inside each block, the largest counting, as classes of different layers
    // are meant to differ. None: one block of all classes.
    DivisionSummary(int classCount, const std::vector<Pupil> &pupils,
                    const QStringList &schoolNames = {},
                    const std::vector<std::pair<int, int>> &ranges = {});

    const std::vector<ClassBalance> &classes() const { return m_classes; }
    int pupils() const { return m_pupils; }
    // Dealt in layers: the spreads are those inside a layer.
    bool layered() const { return m_ranges.size() > 1; }
    // Highest minus lowest class mean, over the classes that have scored pupils.
    double meanSpread() const;
    // Highest minus lowest class score SD, over the classes that have scored pupils.
    double sdSpread() const;
    // Largest minus smallest class size, boys, girls.
    int sizeSpread() const;
    int boysSpread() const;
    int girlsSpread() const;
    // The largest, over the source schools, of a school's largest minus smallest class count.
    int schoolSpread() const { return m_schoolSpread; }
    // Each source school, in the order the schools were first met; its fewest and most pupils a
    // class are those of the block where they lie furthest apart.
    const std::vector<SchoolBalance> &schools() const { return m_schools; }

    // The spreads the refinement works on, in one line; with wishes, `met` of them met.
    QString spreadsText(const WishOutcome &wishes, int met) const;

    // The pupils, school names and blocks the figures were taken from, for the certificate.
    const std::vector<Pupil> &rows() const;
    const QStringList &schoolNames() const { return m_schoolNames; }
    const std::vector<std::pair<int, int>> &ranges() const { return m_ranges; }

    const WishOutcome &wishes() const { return m_wishes; }
    void setWishes(const WishOutcome &wishes) { m_wishes = wishes; }

    // The balance the dealing alone gave, when a refinement followed it.
    const DivisionSummary *dealt() const { return m_dealt.get(); }
    void setDealt(const DivisionSummary &dealt)
    {
        m_dealt = std::make_shared<const DivisionSummary>(dealt);
    }

private:
    std::vector<ClassBalance> m_classes;
    std::vector<std::pair<int, int>> m_ranges;
    std::shared_ptr<const std::vector<Pupil>> m_rows;
    QStringList m_schoolNames;
    int m_pupils = 0;
    int m_schoolSpread = 0;
    std::vector<SchoolBalance> m_schools;
    WishOutcome m_wishes;
    std::shared_ptr<const DivisionSummary> m_dealt;
};

} // namespace fenpai
