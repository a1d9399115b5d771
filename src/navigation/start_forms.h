// The start screen Form1, the description screen Form2 and the program library menu Form4.
#pragma once

#include "navigation/app_form.h"

namespace heatx {

// Start screen: the student's name, the description, the end of the run.
class Form1 : public AppForm {
  public:
    explicit Form1(RunContext& run);
    void Form_Load() override;
    void Command1_Click();  // "ОПИСАНИЕ ПРОГРАММЫ"
    void Command2_Click();  // "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ"
    void Command3_Click();  // "ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ"

    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
    ui::Button& Command3 = AddButton("Command3");
    ui::Label& Label1 = AddLabel("Label1");
    ui::Label& Label2 = AddLabel("Label2");
};

// Description of the program and its literature.
class Form2 : public AppForm {
  public:
    explicit Form2(RunContext& run);
    void Form_Load() override;
    void Command1_Click();  // "ПРОДОЛЖЕНИЕ РАБОТЫ"

    ui::Label& Label1 = AddLabel("Label1");
    ui::Label& Label2 = AddLabel("Label2");
    ui::Label& Label3 = AddLabel("Label3");
    ui::Button& Command1 = AddButton("Command1");
};

// Program library menu: the choice of the apparatus kind starts a new design task.
class Form4 : public AppForm {
  public:
    explicit Form4(RunContext& run);
    void Form_Load() override;
    void Form_Paint() override;
    void Command1_Click();  // "ИСПАРИТЕЛЬ"
    void Command2_Click();  // "ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР"
    void Command3_Click();  // "ХОЛОДИЛЬНИК"
    void Command4_Click();  // "ОКОНЧАНИЕ РАСЧЁТА"

    ui::Label& Label1 = AddLabel("Label1");
    ui::Button& Command1 = AddButton("Command1");
    ui::Button& Command2 = AddButton("Command2");
    ui::Button& Command3 = AddButton("Command3");
    ui::Button& Command4 = AddButton("Command4");
};

}  // namespace heatx
