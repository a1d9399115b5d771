// The source-data windows: one pattern, three instances (Form10 evaporator, Form3 heater or
// dephlegmator, Form6 cooler), and their error dialogs (Form8, Form5, Form14).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "navigation/app_form.h"

namespace heatx {

// What differs between the three source-data windows.
struct SourceDataKind {
    int lastIndex;               // last listed parameter: 14, 10, 12
    int labelWidth;              // 62, 62, 72
    int lineClickInputX;         // input box x on a line click: 4000 (heater 2000)
    bool lineClickDropsTabStop;  // evaporator only
};

// The source-data window pattern.
class SourceDataForm : public AppForm {
  public:
    SourceDataForm(RunContext& run, std::string name, SourceDataKind kind);

    void Form_Load() override;
    virtual void Command1_Click() = 0;  // accept the data unchanged
    void Command2_Click();              // start correcting
    virtual void Command3_Click() = 0;  // end of corrections: check the data
    void List1_Click();                 // correct one line

    // The kind's labels, value texts and validation.
    virtual std::string& Label(int i) const = 0;
    virtual std::string& Text(int i) const = 0;
    virtual std::uint8_t Validate() const = 0;
    // The reference value text of parameter i (the default texts of the demonstration mode).
    virtual std::string_view ReferenceText(int i) const = 0;
    // The SourceLine of parameter i: label, blanks up to the label width, value text.
    std::string SourceLineOf(int i) const;
    // Hides the kind's error dialog if it is shown (heater, cooler).
    virtual void HideErrorDialog() {}

    // Reopens the window from a results window to change the property data: caption "   ИЗМЕНЕНИЕ
    // ИСХОДНОЙ ИНФОРМАЦИИ", buttons and marker hidden, window and list placed (the list centred when
    // no left edge is given), the source lines listed anew with their values read again from the
    // texts, the data validated and both buttons coloured by the result; the heading shown on request.
    void OpenForPropertyChange(double listHeight, double listWidth, std::optional<double> listLeft,
                               bool showHeading);

    const SourceDataKind& Kind() const { return kind_; }

    ui::Label& Label1 = AddLabel("Label1");
    ui::ListBox& List1 = AddList("List1");
    ui::Label& Label2 = AddLabel("Label2");
    ui::Label& Label3 = AddLabel("Label3");
    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
    ui::Button& Command3 = AddButton("Command3");

  private:
    SourceDataKind kind_;
};

class Form10 : public SourceDataForm {
  public:
    explicit Form10(RunContext& run);
    void Form_Load() override;
    void Command1_Click() override;
    void Command3_Click() override;
    std::string& Label(int i) const override;
    std::string& Text(int i) const override;
    std::uint8_t Validate() const override;
    std::string_view ReferenceText(int i) const override;
    // The evaporator's presentation of faulty data (called by RunEvaporator).
    void PresentSourceDataError();
};

class Form3 : public SourceDataForm {
  public:
    explicit Form3(RunContext& run);
    void Form_Load() override;
    void Command1_Click() override;
    void Command3_Click() override;
    std::string& Label(int i) const override;
    std::string& Text(int i) const override;
    std::uint8_t Validate() const override;
    std::string_view ReferenceText(int i) const override;
    void HideErrorDialog() override;
    void PresentSourceDataError(bool endOfCorrections);
};

class Form6 : public SourceDataForm {
  public:
    explicit Form6(RunContext& run);
    void Form_Load() override;
    void Command1_Click() override;
    void Command3_Click() override;
    std::string& Label(int i) const override;
    std::string& Text(int i) const override;
    std::uint8_t Validate() const override;
    std::string_view ReferenceText(int i) const override;
    void HideErrorDialog() override;
    void PresentSourceDataError(bool endOfCorrections);
    // Asks one construction value (13..17) until it lies within its bounds; shows it on Form13.
    void AskConstructionParameter(int index, double lower, float upper);
};

// The error dialog: one design, three instances.
class ErrorDialog : public AppForm {
  public:
    ErrorDialog(RunContext& run, std::string name, double designWidth, double designHeight);
    void Form_Load() override;
    // The window manager's close button counts as "Да": back to the correction, nothing lost.
    void OnCloseButton() override { Command1_Click(); }
    virtual void Command1_Click() = 0;  // "Да"
    virtual void Command2_Click() = 0;  // "Нет"

    ui::Label& Label1 = AddLabel("Label1");
    ui::Label& Label2 = AddLabel("Label2");
    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
};

class Form8 : public ErrorDialog {
  public:
    explicit Form8(RunContext& run);
    void Form_Load() override;
    void Command1_Click() override;
    void Command2_Click() override;
};

class Form5 : public ErrorDialog {
  public:
    explicit Form5(RunContext& run);
    void Form_Load() override;
    void Command1_Click() override;
    void Command2_Click() override;
};

class Form14 : public ErrorDialog {
  public:
    explicit Form14(RunContext& run);
    void Command1_Click() override;
    void Command2_Click() override;
};

}  // namespace heatx
