// TEMPORARY during parallel development: every handler not yet written.
// Whoever writes a function removes it from here. This file is deleted once empty.
#include <stdexcept>
#include <string>
#include "app/tform1.h"
#include "link/request.h"
#include "link/upload_file.h"
#include "transfer/dispatch.h"
#include "transfer/download_files.h"
#include "transfer/download.h"
#include "transfer/upload.h"
#include "terminals/ini_file.h"

[[noreturn]] static void Pending(const char* name) { throw std::logic_error(std::string("not built yet: ") + name); }

TForm1* Form1 = nullptr;  // owner: app/ (foundation)
// --- owner: foundation (app/, terminals/) ---
TForm1::TForm1(EventLoop& loop, FormView& view, const LinkLibrary& link, std::string executablePath) : Loop(loop), View(view), Link(link), ExecutablePath(std::move(executablePath)) { Form1 = this; }
TForm1::~TForm1() = default;
// --- owner: foundation (app/, terminals/) ---
void TForm1::FormCreate() { Pending("FormCreate"); }
void TForm1::FormClose() { Pending("FormClose"); }
void TForm1::AddLog(const std::string&) { Pending("AddLog"); }
void TForm1::ReplaceLogLine(const std::string&, int) { Pending("ReplaceLogLine"); }
void TForm1::Clear1Click() { Pending("Clear1Click"); }
void TForm1::LoadTerminalSettings() { Pending("LoadTerminalSettings"); }
void TForm1::SaveTerminalSettings() { Pending("SaveTerminalSettings"); }
void TForm1::BBtnAddClick() { Pending("BBtnAddClick"); }
void TForm1::BBtnDeleteClick() { Pending("BBtnDeleteClick"); }
void TForm1::BBtnEditClick() { Pending("BBtnEditClick"); }
void TForm1::HandleEvent(const std::function<void()>&) { Pending("HandleEvent"); }
// --- owner: send cycle and transfers (link/, transfer/) ---
void TForm1::BtnSendClick() { Pending("BtnSendClick"); }
void TForm1::NextTerminal() { Pending("NextTerminal"); }
void TForm1::StartTimer1() { Pending("StartTimer1"); }
void TForm1::Timer1Timer() { Pending("Timer1Timer"); }
void TForm1::Action1Execute() { Pending("Action1Execute"); }
void TForm1::SetupConnection() { Pending("SetupConnection"); }
void TForm1::DisconnectTerminal() { Pending("DisconnectTerminal"); }
void TForm1::Action2Execute() { Pending("Action2Execute"); }
void TForm1::ArmAnswerTimeout() { Pending("ArmAnswerTimeout"); }
void TForm1::AnswerTimedOut() { Pending("AnswerTimedOut"); }
void TForm1::Action3Execute() { Pending("Action3Execute"); }
void TForm1::Action4Execute() { Pending("Action4Execute"); }
// --- owner: records and download files (transfer/, link/) ---
void TForm1::CloseUploadFile() { Pending("CloseUploadFile"); }
void TForm1::RadioButton1Click() { Pending("RadioButton1Click"); }
void TForm1::RadioButton2Click() { Pending("RadioButton2Click"); }
void TForm1::RadioButton3Click() { Pending("RadioButton3Click"); }
void TForm1::RadioButton11Click() { Pending("RadioButton11Click"); }
void TForm1::RadioButton12Click() { Pending("RadioButton12Click"); }
void TForm1::RadioButton13Click() { Pending("RadioButton13Click"); }
void TForm1::EnableReportTypes(bool) { Pending("EnableReportTypes"); }
void TForm1::FileOpen1Accept(const std::string&) { Pending("FileOpen1Accept"); }
void TForm1::Action6Execute() { Pending("Action6Execute"); }
std::string TForm1::DownloadFilePath() const { Pending("DownloadFilePath"); }  // owner: records
// --- free functions, owner: records and download files ---
bool SendRequest(TForm1&, uint8_t, uint16_t, const void*, uint16_t) { Pending("SendRequest"); }
int ReadPluFile(TForm1&, const std::string&) { Pending("ReadPluFile"); }
int ReadBarcodeFile(TForm1&, const std::string&) { Pending("ReadBarcodeFile"); }
int ReadIngredientFile(TForm1&, const std::string&) { Pending("ReadIngredientFile"); }
int ReadScrollMsgFile(TForm1&, const std::string&) { Pending("ReadScrollMsgFile"); }
int ReadSpeedkeyFile(TForm1&, const std::string&) { Pending("ReadSpeedkeyFile"); }
std::unique_ptr<UploadFile> UploadFile::Create(const std::string&) { Pending("UploadFile::Create"); }
UploadFile::~UploadFile() = default;
bool UploadFile::Write(const std::string&) { Pending("UploadFile::Write"); }
// --- free functions, owner: send cycle and transfers ---
bool IsDispatchedCode(uint8_t) { Pending("IsDispatchedCode"); }
void DispatchAnswer(TForm1&, const RequestPacket&) { Pending("DispatchAnswer"); }
void DownloadNextPLU(TForm1&, int) { Pending("DownloadNextPLU"); }
void DownloadNextBarcode(TForm1&, int) { Pending("DownloadNextBarcode"); }
void DownloadNextIngredient(TForm1&, int) { Pending("DownloadNextIngredient"); }
void DownloadNextScrollMsg(TForm1&, int) { Pending("DownloadNextScrollMsg"); }
void DownloadNextSpeedkey(TForm1&, int) { Pending("DownloadNextSpeedkey"); }
