#pragma once

#include <array>

namespace fenpai {

// What the division dialog (or the command line) asks for. Class counts are kept as the user typed
// them, read as their leading number; the run checks them before it writes anything.
struct DivisionSettings
{
    enum class Mode
    {
        Balanced, // every pupil dealt into classes 1..N
        Layered,  // pupils cut by rank into layers A..D, each dealt into its own block of classes
    };

    Mode mode = Mode::Balanced;
    double classes = 2;                          // N of the balanced mode
    std::array<double, 4> layers = {1, 1, 1, 1}; // classes of the layers A, B, C, D
    bool balanceSex = false;                     // 均衡各班男女生人数比例
    bool balanceSchool = false;                  // 均衡各班生源比例
    bool refine = false; // 分班后优化均衡: exchanges after the dealing
};

} // namespace fenpai
