#pragma once

#include "core/result.h"

#include <QMap>
#include <QString>

#include <array>

namespace fenpai {

// What the division dialog (or the command line) asks for, checked: the dialog and the command
// line read what the user typed through the parse functions below, so a run only ever sees
// counts it can deal into.
struct DivisionSettings
{
    enum class Mode
    {
        Balanced, // every pupil dealt into classes 1..N
        Layered,  // pupils cut by rank into layers A..D, each dealt into its own block of classes
    };

    Mode mode = Mode::Balanced;
    int classes = 2;                          // N of the balanced mode, 1..maxClasses
    std::array<int, 4> layers = {1, 1, 1, 1}; // classes of the layers A, B, C, D
    bool balanceSex = false;                  // 均衡各班男女生人数比例
    bool balanceSchool = false;               // 均衡各班生源比例
    bool refine = false;                      // 分班后优化均衡: exchanges after the dealing

    // Most classes a run may make: class numbers stay 16-bit whole numbers, which is what
    // spreadsheets made from 新分班 expect.
    static constexpr int maxClasses = 32767;

    // The class count C: N in balanced mode, the sum of the layers' counts in layered mode.
    int classCount() const;
    // Ok, or the refusal the parse functions would have given for these counts.
    [[nodiscard]] Status check() const;

    // N as typed: a whole number from 1 to maxClasses, else the dialog's refusal.
    [[nodiscard]] static Result<int> parseClasses(const QString &text);
    // The counts of the layers A..D as typed: whole numbers >= 0, not all 0, together at most
    // maxClasses.
    [[nodiscard]] static Result<std::array<int, 4>>
    parseLayers(const std::array<QString, 4> &texts);
    // The layer box parseLayers refuses: the first that is no whole number >= 0, or the one
    // that takes the sum past maxClasses; 0 when the refusal is about all of them.
    static size_t layerAtFault(const std::array<QString, 4> &texts);

    // One line a person reads: "均衡分班 12 个班，男女均衡，生源均衡，优化".
    QString describe() const;

    // The settings as the database keeps those of the last full run (项目 → 数值), and back.
    // What was stored goes through the parse functions again: a damaged record is refused.
    QMap<QString, QString> stored() const;
    [[nodiscard]] static Result<DivisionSettings> fromStored(const QMap<QString, QString> &values);
};

} // namespace fenpai
