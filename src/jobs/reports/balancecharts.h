#pragma once

#include <QImage>
#include <QSizeF>
#include <QStringList>

#include <utility>
#include <vector>

namespace fenpai {

// The pictures of the balance report, drawn with QPainter at print resolution: the class means
// with their SD as error bars, each class's scores as a box plot, boys and girls per class as
// stacked bars, and each school's pupils per class as a heat table. Every picture has a legend
// and stays readable in grey: the colours differ in lightness, and girls and others carry a
// hatching besides their colour. Sizes are in printed pixels (96 per inch of paper); a long
// list of classes is cut into pictures of equal places, so every picture has the same scale.
class BalanceCharts final
{
public:
    struct ClassFigures
    {
        int number = 0;
        int boys = 0;
        int girls = 0;
        int others = 0;             // neither 男 nor 女
        std::vector<double> scores; // ascending; the figures below are over them
        double mean = 0;
        double sd = 0;            // population
        std::vector<int> schools; // pupils of each school of Data::schools
    };

    struct Data
    {
        std::vector<ClassFigures> classes;
        QStringList schools;
        // The layers as [lo, hi] class numbers; none or one: the classes were dealt together.
        std::vector<std::pair<int, int>> blocks;
    };

    enum class Chart
    {
        Means,
        Boxes,
        Sexes,
        Schools,
    };

    // Which classes (indexes into Data::classes) and schools one picture shows; `places` is the
    // number of class places across it, the same for every picture of a chart.
    struct Part
    {
        int first = 0;
        int count = 0;
        int places = 0;
        int firstSchool = 0;
        int schoolCount = 0;
    };

    // The most classes a picture of this printed width holds, each at least a readable slot.
    static int placesPerPicture(double printedWidth);
    static int schoolsPerPicture() { return 24; }
    // Printed height of a picture; the heat table grows with its schools.
    static double height(Chart chart, int schools = 0);

    // The picture at `dpi` dots per inch of paper.
    static QImage draw(Chart chart, const Data &data, const Part &part, const QSizeF &printed,
                       double dpi);
};

} // namespace fenpai
