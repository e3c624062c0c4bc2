// CueListModel: the rows of the cue list (In, Out, Länge, Music Titles) as a Qt table model.
//
// The conversion core appends straight into it through tarvelin::CueRowList. Rows appended in
// one run are reported together when the run ends (EndRows): one insertion and one dataChanged
// over the new rows (the list's "row changed" notification), not one per cell, so a list of a
// quarter of a million rows appears at once. A cell set on a row already reported is reported by
// itself. Clearing reports only a reset. The model is read-only for views.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "conversion/CueRows.h"

class CueListModel : public QAbstractTableModel, public tarvelin::CueRowList {
    Q_OBJECT

public:
    static constexpr int kColumnCount = 4;

    explicit CueListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void AppendRow() override;
    void SetLastRowCell(tarvelin::CueColumn column, std::u16string text) override;
    void EndRows() override;

    // Removes every row.
    void clear();
    const std::vector<tarvelin::CueRow>& rows() const { return m_rows; }

private:
    std::vector<tarvelin::CueRow> m_rows;
    // Rows from this index on are appended but not yet reported to views.
    std::size_t m_reported = 0;
    // A cell of an unreported row has been set: EndRows reports the new rows as changed.
    bool m_cellsSetUnreported = false;
};
