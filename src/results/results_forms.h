// The results windows: Form11 evaporator, Form9 heater or dephlegmator, Form13 cooler.
#pragma once

#include <array>

#include "navigation/app_form.h"

namespace heatx {

// Evaporator results: tube height, coefficients, overall coefficient and surface.
class Form11 : public AppForm {
  public:
    explicit Form11(RunContext& run);
    void Form_Load() override;
    void Command1_Click();  // print the result
    void Command2_Click();  // "ИЗМЕНЕНИЕ ВЫСОТЫ ТРУБ"
    void Command3_Click();  // "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ"
    void Command4_Click();  // "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА"
    void Command5_Click();  // "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ"
    // The window manager's close button: ends the run like Command5, closing the report first.
    void OnCloseButton() override;
    // Shows or hides the five buttons and both labels together.
    void SetResultsVisible(bool visible);

    ui::Label& Label1 = AddLabel("Label1");
    ui::Label& Label2 = AddLabel("Label2");
    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
    ui::Button& Command3 = AddButton("Command3");
    ui::Button& Command4 = AddButton("Command4");
    ui::Button& Command5 = AddButton("Command5");

  private:
    // When something was printed: the signature rule, then the end of the printer document.
    void CloseReport();
};

// Heater or dephlegmator results: orientation, construction, results, corrections.
class Form9 : public AppForm {
  public:
    explicit Form9(RunContext& run);
    void Form_Load() override;
    void Command1_Click();  // print the result
    void Command2_Click();  // "ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ АППАРАТА"
    void Command3_Click();  // "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ"
    void Command4_Click();  // "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА"
    void Command5_Click();  // "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ"
    void Command6_Click();  // "ГОРИЗОНТАЛЬНЫЙ"
    void Command7_Click();  // "ВЕРТИКАЛЬНЫЙ"
    void Command8_Click();  // "ПЕРЕХОД К РАСЧЕТУ"
    void List1_Click();     // correction of one construction line

    ui::Label& L(int i) { return *L_[static_cast<std::size_t>(i)]; }

    ui::Label& Label8 = AddLabel("Label8");
    ui::Button& Command6 = AddButton("Command6");
    ui::Button& Command7 = AddButton("Command7");
    ui::ListBox& List1 = AddList("List1");
    ui::Button& Command8 = AddButton("Command8");
    ui::Label& Label1 = AddLabel("Label1");
    ui::Label& Label2 = AddLabel("Label2");
    ui::Label& Label6 = AddLabel("Label6");
    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
    ui::Button& Command3 = AddButton("Command3");
    ui::Button& Command4 = AddButton("Command4");
    ui::Button& Command5 = AddButton("Command5");

  private:
    void ChooseOrientation(bool horizontal);
    void EnterHeaterConstruction();
    std::array<ui::Label*, 5> L_{&AddLabel("L0"), &AddLabel("L1"), &AddLabel("L2"), &AddLabel("L3"),
                                 &AddLabel("L4")};
};

// Cooler results: construction lines, results, Reynolds numbers, corrections.
class Form13 : public AppForm {
  public:
    explicit Form13(RunContext& run);
    void Form_Load() override;
    void Command1_Click();  // print the result
    void Command2_Click();  // "ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ АППАРАТА"
    void Command3_Click();  // "ИЗМЕНЕНИЕ МАССИВА ФИЗСВОЙСТВ"
    void Command4_Click();  // "ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА"
    void Command5_Click();  // "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ"
    void Command6_Click();  // "ПЕРЕХОД К РАСЧЕТУ"
    void List1_Click();     // correction of one construction line

    ui::Label& L(int i) { return *L_[static_cast<std::size_t>(i)]; }

    ui::ListBox& List1 = AddList("List1");
    ui::Button& Command6 = AddButton("Command6");
    ui::Label& Label1 = AddLabel("Label1");
    ui::Label& Label4 = AddLabel("Label4");
    ui::Label& Label5 = AddLabel("Label5");
    ui::Label& Label6 = AddLabel("Label6");
    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
    ui::Button& Command3 = AddButton("Command3");
    ui::Button& Command4 = AddButton("Command4");
    ui::Button& Command5 = AddButton("Command5");

  private:
    std::array<ui::Label*, 5> L_{&AddLabel("L0"), &AddLabel("L1"), &AddLabel("L2"), &AddLabel("L3"),
                                 &AddLabel("L4")};
};

}  // namespace heatx
