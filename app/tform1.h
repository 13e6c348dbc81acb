// TForm1: the main window as the program sees it. It owns the controls (as
// value models), the settings file object, the transfer state and the upload
// file, and runs every handler of the program on the window's thread. It is
// toolkit-free: a front end shows it, and feeds it operator input through
// HandleEvent.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/controls.h"
#include "app/event_loop.h"
#include "app/form_view.h"
#include "link/answer_router.h"
#include "link/link_library.h"
#include "link/transfer_state.h"
#include "settings/folder_role.h"

class SettingsFile;
class UploadFile;

inline constexpr const char* kWindowCaption = "Orlent V3.0.0.0";

class TForm1 {
 public:
  // `executablePath` is the full path of the running executable; the program
  // folder is derived from it by FormCreate. The controls start as laid out.
  TForm1(EventLoop& loop, FormView& view, const LinkLibrary& link, std::string executablePath);
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The event boundary: runs one handler to its end. A failure escaping it is
  // shown by the default error handling and the program goes on; the view is
  // then told that control texts may have changed.
  void HandleEvent(const std::function<void()>& handler);

  EventLoop& Loop;
  FormView& View;
  LinkLibrary Link;
  // Takes the library's answers to DispatchAnswer for the terminal being
  // served; the active router while this window lives.
  AnswerRouter Router;

  // --- Controls, named by what they hold (the window draws the visible ones) ---
  TEdit ServedAddress;    // hidden: the address of the terminal being served
  TEdit PortBox;          // the port of all terminals, as typed
  TEdit ConnectInterval;  // hidden: milliseconds the library waits per connect attempt
  TEdit ConnectRetry;     // hidden: connect attempts
  TEdit SendFileBox;      // the download file picked in the file-open dialog, shown disabled
  TEdit UploadFileBox;    // hidden: the upload file's name
  TEdit AddressBox;       // the IP box: a new address (Add) or a replacement (Change)
  TCheckListBox TerminalList;
  TListBox ActivityLog;
  TRadioButton RadioButton1, RadioButton2, RadioButton3, RadioButton4, RadioButton5, RadioButton6,
      RadioButton7, RadioButton8, RadioButton9, RadioButton10, RadioButton11, RadioButton12,
      RadioButton13;
  TButton ConnectButton;     // hidden: connects to ServedAddress
  TButton DisconnectButton;  // hidden: disconnects
  TButton DownloadButton;    // hidden: downloads the send file
  TTimer PauseTimer;         // the pause before each connect of a send cycle

  // --- Window state ---
  std::string ExecutablePath;
  std::string ProgramFolder;  // no trailing separator
  std::string CycleMode;      // "SEND" while a send cycle runs
  bool FileChosen = false;    // a download file was picked in the file-open dialog
  std::unique_ptr<SettingsFile> Settings;
  std::string VersionLine;  // the link library's version, built at start-up
  int32_t TerminalIndex = -1;
  TransferState Transfer;
  std::unique_ptr<UploadFile> OpenUploadFile;  // at most one
  int AnswerTimeoutMs = 10000;
  // What the program holds of its folder; set by the front end before FormCreate.
  FolderRole Role = FolderRole::Reader;

  // --- Start-up, close and activity log (app/) ---
  void FormCreate();
  void FormClose();
  void AddLog(const std::string& text);
  void ReplaceLogLine(const std::string& text, int index);
  void Clear1Click();

  // --- Terminal list: loaded, saved and edited (app/terminal_list_edits.cpp) ---
  // The list and the port box from and to the settings file (settings/).
  void LoadTerminalSettings();
  void SaveTerminalSettings();
  void BBtnAddClick();
  void BBtnDeleteClick();
  void BBtnEditClick();

  // --- Send cycle, connect and disconnect (link/) ---
  void BtnSendClick();
  void NextTerminal();
  void StartPauseTimer();
  void PauseEnded();
  void Action1Execute();
  void SetupConnection();
  // Answers of the terminal in ServedAddress go to DispatchAnswer from now on, also
  // after a disconnect, until a send cycle leaves it for another terminal.
  void RouteTerminalAnswers();
  void DisconnectTerminal();
  void Action2Execute();
  void CloseUploadFile();
  void ArmAnswerTimeout();
  void AnswerTimedOut();

  // --- Data kinds, download files, downloads and uploads (transfer/) ---
  void RadioButton1Click();
  void RadioButton2Click();
  void RadioButton3Click();
  void RadioButton11Click();
  void RadioButton12Click();
  void RadioButton13Click();
  void EnableReportTypes(bool enable);
  void FileOpen1Accept(const std::string& path);
  std::string DownloadFilePath() const;
  void Action3Execute();
  void Action4Execute();
  void Action6Execute();
};
