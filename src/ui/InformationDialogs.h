#pragma once

#include <QDialog>
#include <QList>

#include "paper/ProductInfo.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace kestrel {

class TLabelData;
class TProductDB;

// The items of one information record, each under its caption; a value may have several lines.
class TInformationEditor : public QWidget {
public:
    explicit TInformationEditor(QWidget* parent = nullptr);
    void Show(const TProductInfo& record);
    // The record shown, with the values as edited. Refuses text the labels cannot hold.
    TProductInfo Edited() const;
    QPlainTextEdit& Value(int item) const { return *values_.at(item); }

private:
    TProductInfo record_;
    QList<QPlainTextEdit*> values_;
};

// "プロダクト情報の編集": the document's product information, with the stored products to start
// from ("登録" keeps the one shown, "削除" drops the chosen one). OK gives every text showing
// a product item its new value.
class TfrmProductInfo : public QDialog {
public:
    // productDB may be null: no stored products then.
    TfrmProductInfo(TLabelData& document, TProductDB* productDB, QWidget* parent = nullptr);
    TInformationEditor& Editor() const { return *editor_; }
    QComboBox& Stored() const { return *stored_; }
    void StoreShown();
    void DeleteChosen();
    void accept() override;

private:
    void FillStored(int select);
    void ShowChosen(int index);

    TLabelData& document_;
    TProductDB* productDB_;
    TInformationEditor* editor_;
    QComboBox* stored_;
    QPushButton* delete_;
};

// "クリエーター情報の編集": the document's creator information in Japanese and in English; it can
// also become what new labels start with.
class TfrmCreatorInfo : public QDialog {
public:
    TfrmCreatorInfo(TLabelData& document, TProductDB* productDB, QWidget* parent = nullptr);
    TInformationEditor& Japanese() const { return *japanese_; }
    TInformationEditor& English() const { return *english_; }
    QCheckBox& ForNewLabels() const { return *forNewLabels_; }
    void accept() override;

private:
    TLabelData& document_;
    TProductDB* productDB_;
    TInformationEditor* japanese_;
    TInformationEditor* english_;
    QCheckBox* forNewLabels_;
};

}  // namespace kestrel
