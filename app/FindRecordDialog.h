#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace quillan::record {
class RecordIndex;
}

namespace quillan::app {

class MainWin;

// The records of the index that match the filter, one row each: date, work
// unit, interviewee, first question.
class FoundRecordsModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit FoundRecordsModel(const record::RecordIndex& index, QObject* parent = nullptr);

    // Shows the records at these positions of the index, in this order.
    void show(std::vector<int> rows);
    QString pathAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const record::RecordIndex& index_;
    std::vector<int> rows_;
};

// "查找笔录": the templates of the records folder, newest first, narrowed by
// the filter as the officer types. Enter or a double click on a record (or
// Enter in the filter, for the selected record) closes the dialog and hands
// the record's path to `open`. Esc closes it.
class FindRecordDialog final : public QDialog
{
    Q_OBJECT
public:
    // `index` must be up to date (refresh()) and outlive the dialog.
    FindRecordDialog(record::RecordIndex& index, std::function<void(const QString&)> open,
                     QWidget* parent = nullptr);

    QLineEdit* filterField() const { return filter_; }
    QTreeView* list() const { return view_; }
    QLabel* countLabel() const { return count_; }
    QLabel* hintLabel() const { return hint_; }

    // The texts the dialog shows.
    static QString countText(int shown, int total, int skipped);
    static QString emptyFolderHint(const QString& folder);
    static QString noMatchHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyFilter();
    void openCurrent();

    record::RecordIndex& index_;
    std::function<void(const QString&)> open_;
    FoundRecordsModel* model_;
    QLineEdit* filter_;
    QTreeView* view_;
    QLabel* count_;
    QLabel* hint_;
    QPushButton* openButton_;
};

// Binds the menu entry "查找笔录..." of `window`: the first use reads the
// templates of `programDir`/BL, later uses only what changed since; the
// chosen record is handed to `open`.
void bindFindRecord(MainWin& window, const QString& programDir, std::function<void(const QString&)> open);

} // namespace quillan::app
