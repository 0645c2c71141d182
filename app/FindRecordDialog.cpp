#include "app/FindRecordDialog.h"

#include "app/MainWin.h"
#include "platform/Text.h"
#include "record/RecordIndex.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <memory>
#include <utility>

namespace quillan::app {

namespace {

enum Column { DateColumn, WorkUnitColumn, IntervieweeColumn, QuestionColumn, ColumnCount };

using platform::u;

} // namespace

// ---------------------------------------------------------------- model

FoundRecordsModel::FoundRecordsModel(const record::RecordIndex& index, QObject* parent)
    : QAbstractTableModel(parent), index_(index)
{
}

void FoundRecordsModel::show(std::vector<int> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

QString FoundRecordsModel::pathAt(int row) const
{
    if (row < 0 || row >= int(rows_.size()))
        return {};
    return index_.records()[size_t(rows_[size_t(row)])].path;
}

int FoundRecordsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int FoundRecordsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant FoundRecordsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const record::IndexedRecord& r = index_.records()[size_t(rows_[size_t(index.row())])];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case DateColumn:
            return r.date.toString(QStringLiteral("yyyy-MM-dd"));
        case WorkUnitColumn:
            return r.workUnit;
        case IntervieweeColumn:
            return r.interviewee;
        case QuestionColumn:
            return r.firstQuestion;
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole) {
        if (index.column() == DateColumn && r.dateFromFile)
            return u("笔录中没有日期，这是文件的修改日期");
        return QDir::toNativeSeparators(r.path);
    }
    return {};
}

QVariant FoundRecordsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case DateColumn:
        return u("日期");
    case WorkUnitColumn:
        return u("工作单位");
    case IntervieweeColumn:
        return u("被询问人");
    case QuestionColumn:
        return u("第一个问题");
    default:
        return {};
    }
}

// ---------------------------------------------------------------- dialog

QString FindRecordDialog::countText(int shown, int total, int skipped)
{
    QString text =
        shown == total ? u("共 %1 份笔录").arg(total) : u("找到 %1 份，共 %2 份笔录").arg(shown).arg(total);
    if (skipped > 0)
        text += u("；%1 个文件无法读取，未列出").arg(skipped);
    return text;
}

QString FindRecordDialog::emptyFolderHint(const QString& folder)
{
    return u("目录 <") + QDir::toNativeSeparators(folder) +
           u("> 中还没有笔录模板。保存笔录后，它的模板会列在这里。");
}

QString FindRecordDialog::noMatchHint()
{
    return u("没有符合筛选条件的笔录。");
}

FindRecordDialog::FindRecordDialog(record::RecordIndex& index, std::function<void(const QString&)> open,
                                   QWidget* parent)
    : QDialog(parent), index_(index), open_(std::move(open)), model_(new FoundRecordsModel(index, this)),
      filter_(new QLineEdit(this)), view_(new QTreeView(this)), count_(new QLabel(this)),
      hint_(new QLabel(this))
{
    setObjectName(u("查找笔录"));
    setWindowTitle(u("查找笔录"));
    setAccessibleName(u("查找笔录"));
    resize(820, 520);

    filter_->setObjectName(u("筛选框"));
    filter_->setAccessibleName(u("筛选"));
    filter_->setPlaceholderText(u("输入字词筛选：日期、单位、姓名、问题或回答（多个词用空格分开）"));
    filter_->setClearButtonEnabled(true);
    filter_->installEventFilter(this);

    view_->setObjectName(u("笔录列表"));
    view_->setAccessibleName(u("笔录列表"));
    view_->setModel(model_);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setAlternatingRowColors(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setAllColumnsShowFocus(true);
    view_->header()->setSectionsMovable(false);
    view_->header()->setStretchLastSection(true);
    view_->setColumnWidth(DateColumn, 100);
    view_->setColumnWidth(WorkUnitColumn, 220);
    view_->setColumnWidth(IntervieweeColumn, 100);

    count_->setObjectName(u("笔录数"));
    count_->setAccessibleName(u("笔录数"));
    hint_->setObjectName(u("查找提示"));
    hint_->setAccessibleName(u("提示"));
    hint_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    openButton_ = buttons->addButton(u("打开"), QDialogButtonBox::AcceptRole);
    openButton_->setObjectName(u("打开"));
    openButton_->setAccessibleName(u("打开"));
    openButton_->setDefault(true);
    QPushButton* close = buttons->addButton(u("关闭"), QDialogButtonBox::RejectRole);
    close->setObjectName(u("关闭"));
    close->setAccessibleName(u("关闭"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filter_);
    layout->addWidget(hint_);
    layout->addWidget(view_, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(count_, 1);
    bottom->addWidget(buttons);
    layout->addLayout(bottom);

    // Enter anywhere in the dialog presses the default button "打开".
    connect(openButton_, &QPushButton::clicked, this, &FindRecordDialog::openCurrent);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(view_, &QTreeView::doubleClicked, this, &FindRecordDialog::openCurrent);
    connect(filter_, &QLineEdit::textChanged, this, &FindRecordDialog::applyFilter);

    QStringList skipped;
    for (const record::SkippedFile& s : index_.skipped())
        skipped << QFileInfo(s.path).fileName() + u("：") + s.reason;
    count_->setToolTip(skipped.join(QLatin1Char('\n')));

    applyFilter();
    filter_->setFocus();
}

void FindRecordDialog::applyFilter()
{
    model_->show(index_.match(filter_->text()));
    const int shown = model_->rowCount();
    const int total = int(index_.records().size());
    count_->setText(countText(shown, total, int(index_.skipped().size())));
    if (total == 0)
        hint_->setText(emptyFolderHint(index_.folder()));
    else if (shown == 0)
        hint_->setText(noMatchHint());
    hint_->setVisible(shown == 0);
    if (shown > 0)
        view_->setCurrentIndex(model_->index(0, 0));
    openButton_->setEnabled(shown > 0);
}

void FindRecordDialog::openCurrent()
{
    const QString path = model_->pathAt(view_->currentIndex().row());
    if (path.isEmpty() || result() == QDialog::Accepted)
        return;
    // The dialog is gone before the record opens, so that a message about
    // the file stands over the main window.
    const auto open = open_;
    accept();
    if (open)
        open(path);
}

bool FindRecordDialog::eventFilter(QObject* watched, QEvent* event)
{
    // The arrow and page keys in the filter move through the list.
    if (watched == filter_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QApplication::sendEvent(view_, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------- menu

void bindFindRecord(MainWin& window, const QString& programDir, std::function<void(const QString&)> open)
{
    QAction* action = window.menuAction(u("文件"), u("查找笔录..."));
    if (!action)
        return;
    auto index = std::make_shared<record::RecordIndex>(programDir + QStringLiteral("/BL"));
    QObject::connect(action, &QAction::triggered, &window, [&window, index, open = std::move(open)] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        index->refresh();
        QApplication::restoreOverrideCursor();
        auto* dialog = new FindRecordDialog(*index, open, &window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
    });
}

} // namespace quillan::app
