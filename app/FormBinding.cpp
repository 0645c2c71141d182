#include "app/FormBinding.h"

#include "app/MainWin.h"
#include "app/MainWinLayout.h"
#include "record/RecordFields.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSet>

namespace quillan::app {

using record::FieldId;
using record::Record;

namespace {

// Arms a pair line when it gets the focus (the combo box or its line edit),
// and reports the first change of its text after that.
class PairLineWatcher final : public QObject
{
public:
    PairLineWatcher(QObject* parent, std::function<bool(FieldId)> typed)
        : QObject(parent), typed_(std::move(typed))
    {
    }

    void watch(QWidget* control, FieldId id)
    {
        auto* box = qobject_cast<QComboBox*>(control);
        QLineEdit* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(control);
        if (!edit)
            return;
        edits_.insert(control, edit);
        edits_.insert(edit, edit);
        control->installEventFilter(this);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textEdited, this, [this, edit, id] {
            if (armed_.contains(edit) && typed_(id))
                armed_.remove(edit);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            if (QLineEdit* edit = edits_.value(watched))
                armed_.insert(edit);
        return false;
    }

private:
    std::function<bool(FieldId)> typed_;
    QHash<QObject*, QLineEdit*> edits_;
    QSet<QLineEdit*> armed_;
};

} // namespace

Record FormBinding::read() const
{
    Record record;
    for (const record::Field& f : record::writeOrder())
        record[f.id] = window_.fieldText(record::unitName(f));
    return record;
}

void FormBinding::show(const Record& record)
{
    for (const record::Field& f : record::readOrder())
        window_.setFieldText(record::unitName(f), record[f.id]);
}

void FormBinding::showField(FieldId id, const QString& text)
{
    window_.setFieldText(record::unitName(id), text);
}

void FormBinding::clearList(FieldId id)
{
    window_.clearList(record::unitName(id));
}

void FormBinding::insertAtTop(FieldId id, const QStringList& entries)
{
    window_.insertAtTop(record::unitName(id), entries);
}

QStringList FormBinding::listEntries(FieldId id) const
{
    return window_.listEntries(record::unitName(id));
}

void FormBinding::watchPairLines(std::function<bool(FieldId)> typed)
{
    auto* watcher = new PairLineWatcher(&window_, std::move(typed));
    for (const record::Pair& p : record::pairs())
        for (const record::Field& f : {p.question, p.answer})
            watcher->watch(window_.control(record::unitName(f)), f.id);
}

void FormBinding::extendPairLineMenus(const std::function<void(QMenu& menu, int number)>& extend)
{
    for (const record::Pair& p : record::pairs())
        for (const record::Field& f : {p.question, p.answer}) {
            QWidget* control = window_.control(record::unitName(f));
            auto* box = qobject_cast<QComboBox*>(control);
            QLineEdit* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(control);
            if (!edit)
                continue;
            edit->setContextMenuPolicy(Qt::CustomContextMenu);
            QObject::connect(edit, &QWidget::customContextMenuRequested, edit,
                             [edit, extend, number = p.number](const QPoint& at) {
                                 QMenu* menu = edit->createStandardContextMenu();
                                 menu->setAttribute(Qt::WA_DeleteOnClose);
                                 menu->addSeparator();
                                 extend(*menu, number);
                                 menu->popup(edit->mapToGlobal(at));
                             });
        }
}

exchange::ServerFields FormBinding::serverFields() const
{
    const auto text = [this](const char* unit) { return window_.fieldText(QString::fromUtf8(unit)); };
    return {text(unit::kFtpAddress), text(unit::kFtpAccount), text(unit::kFtpPassword),
            text(unit::kFtpFileName)};
}

} // namespace quillan::app
