#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/form_fixture.h"

TEST(MainWindow, StartsAsLaidOut) {
  FormFixture f(false);
  const TForm1& form = *f.form;
  EXPECT_EQ(Form1, &form);
  EXPECT_EQ(form.Edit1.Text, "192.167.0.101");
  EXPECT_EQ(form.Edit3.Text, "5000");
  EXPECT_EQ(form.Edit4.Text, "3");
  EXPECT_FALSE(form.Edit5.Enabled);
  EXPECT_FALSE(form.CheckListBox1.Items.empty());  // placeholders FormCreate removes
  EXPECT_FALSE(form.ListBox1.Items.empty());
  EXPECT_FALSE(form.Edit2.Text.empty());
  EXPECT_FALSE(form.Edit7.Text.empty());
  EXPECT_TRUE(form.RadioButton1.Checked);
  EXPECT_EQ(form.RadioButton1.Caption, "PLU");
  EXPECT_EQ(form.RadioButton13.Name, "RadioButton13");
  EXPECT_EQ(form.RadioButton13.Caption, "Speedkey");
  EXPECT_EQ(form.Timer1.Interval, 3000);
  EXPECT_FALSE(form.Timer1.Enabled);
  const std::vector<const TControl*> hidden = {
      &form.Edit1,        &form.Edit3,         &form.Edit4,       &form.Edit6,
      &form.BtnConnect,   &form.BtnDisConnect, &form.BtnDownload, &form.RadioButton1,
      &form.RadioButton3, &form.RadioButton11};
  for (const TControl* control : hidden) EXPECT_FALSE(control->Visible) << control->Name;
  const std::vector<const TControl*> shown = {&form.Edit2, &form.Edit5, &form.Edit7,
                                              &form.CheckListBox1, &form.ListBox1};
  for (const TControl* control : shown) EXPECT_TRUE(control->Visible) << control->Name;
}

TEST(MainWindow, HiddenButtonsRunTheirActions) {
  FormFixture f;
  f.form->Edit1.Text = "127.0.0.2";
  f.link.connectResult = 0;  // keeps the connect step from going on to a download
  f.form->HandleEvent([&] { f.form->BtnConnect.Click(); });
  ASSERT_FALSE(f.link.calls.empty());
  EXPECT_EQ(f.link.calls.back().name, "Connect");
  EXPECT_EQ(f.link.calls.back().texts, std::vector<std::string>{"127.0.0.2"});

  f.form->HandleEvent([&] { f.form->BtnDisConnect.Click(); });
  EXPECT_EQ(f.link.calls.back().name, "Disconnect");

  f.form->Transfer.Direction = 0;
  // A download begins only with a file that holds records.
  f.folder.Write("PLU-Down-Default.txt", "1\t1\t0\tItem\t1\t0\t1\t0\t0\r\n");
  f.form->HandleEvent([&] { f.form->BtnDownload.Click(); });
  EXPECT_EQ(f.form->Transfer.Direction, 3);  // the download began
}

TEST(MainWindow, EventBoundaryShowsAnEscapingFailureAndGoesOn) {
  FormFixture f;
  f.form->HandleEvent([&] {
    f.form->AddLog("before");
    throw std::runtime_error("Unable to write to /x/Orlent.ini");
  });
  EXPECT_EQ(f.view.failures, std::vector<std::string>{"Unable to write to /x/Orlent.ini"});
  EXPECT_EQ(f.view.controlChanges, 1);
  EXPECT_EQ(f.form->ListBox1.Items.back(), "before");

  f.form->HandleEvent([&] { f.form->AddLog("after"); });
  EXPECT_EQ(f.view.failures.size(), 1u);
  EXPECT_EQ(f.view.controlChanges, 2);
  EXPECT_EQ(f.form->ListBox1.Items.back(), "after");
}

TEST(MainWindow, GlobalReferenceEndsWithTheWindow) {
  {
    FormFixture f(false);
    EXPECT_EQ(Form1, f.form.get());
    f.form.reset();
    EXPECT_EQ(Form1, nullptr);
  }
  EXPECT_EQ(Form1, nullptr);
}
