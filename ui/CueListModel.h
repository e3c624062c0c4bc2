// CueListModel: the rows of the cue list (In, Out, Länge, Music Titles) as a Qt table model.
//
// The conversion core appends straight into it through tarvelin::CueRowList, so the window's
// list shows the rows as they are filled. Every cell that is set reports dataChanged (the list's
// "row changed" notification); clearing reports only a reset. The model is read-only for views.
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

    // Removes every row.
    void clear();
    const std::vector<tarvelin::CueRow>& rows() const { return m_rows; }

private:
    std::vector<tarvelin::CueRow> m_rows;
};
