#include "shell/record/StateDelegate.h"

#include "core/record/SubmissionStatus.h"

#include <QComboBox>

namespace {

// The record's states with the state each is shown as.
const std::pair<SubmissionState, ShownState> states[] = {
    {SubmissionState::NotSent, ShownState::SentDateUnknown},
    {SubmissionState::AwaitingApproval, ShownState::AwaitingApproval},
    {SubmissionState::Published, ShownState::Published},
    {SubmissionState::Rejected, ShownState::Rejected},
};

} // namespace

QWidget* StateDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* editor = new QComboBox(parent);
    editor->setObjectName(QStringLiteral("stateEditor"));
    for (const auto& [state, shown] : states)
        editor->addItem(QString::fromUtf8(
                            ShownStateText(shown).data(), qsizetype(ShownStateText(shown).size())),
            int(state));
    return editor;
}

void StateDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* combo = static_cast<QComboBox*>(editor);
    combo->setCurrentIndex(combo->findData(index.data(Qt::EditRole).toInt()));
}

void StateDelegate::setModelData(
    QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    const auto* combo = static_cast<QComboBox*>(editor);
    if (combo->currentIndex() >= 0)
        model->setData(index, combo->currentData(), Qt::EditRole);
}
