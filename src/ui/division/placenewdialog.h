#pragma once

#include "jobs/division/classplacement.h"
#include "ui/common/messagesink.h"

#include <QDialog>

class QLabel;
class QLineEdit;

namespace fenpai {

class Workspace;

// 分班 → 安置新增学生…: says how many pupils have no class, takes how many pupils already
// placed may change class to keep the classes balanced (0 by default), and on "确 定" places
// the late pupils the way the last division divided. It deletes itself when closed.
class PlaceNewDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit PlaceNewDialog(Workspace &workspace, QWidget *parent = nullptr);

    // The settings as the box holds them, or the refusal of a number typed wrong.
    [[nodiscard]] Result<PlacementSettings> settings() const;

    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    // Places the late pupils, as "确 定" does. True when it succeeded (the dialog has then said
    // what it did, emitted placed() and closed).
    bool runPlacement();

signals:
    // 新分班 changed: the outcome lists who was placed and moved.
    void placed(const fenpai::PlacementOutcome &outcome);

private:
    void say(const QString &text);

    Workspace &m_workspace;
    MessageSink::Function m_message = &MessageSink::show;
    QLabel *m_countLabel = nullptr;
    QLineEdit *m_movesEdit = nullptr;
};

} // namespace fenpai
