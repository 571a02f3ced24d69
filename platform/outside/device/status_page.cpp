#include "platform/outside/device/status_page.h"

namespace k460::device {
namespace {

constexpr std::string_view kStyle = R"(
body { font-family: sans-serif; margin: 0; background: #f2f4f7; color: #222; }
header { background: #1d3b5a; color: #fff; padding: 12px 20px; }
header h1 { margin: 0; font-size: 20px; }
header p { margin: 4px 0 0; font-size: 13px; opacity: 0.85; }
main { padding: 16px 20px; }
.job { background: #fff; border: 1px solid #ccd3dc; border-radius: 6px; margin-bottom: 16px; padding: 12px 16px; }
.job h2 { margin: 0 0 8px; font-size: 16px; }
.state { font-size: 12px; padding: 2px 8px; border-radius: 10px; margin-left: 8px; background: #dde; }
.state.COMPLETED { background: #cfe9d2; } .state.FAILED { background: #f4c7c3; } .state.PROCEEDING { background: #fde9b6; }
dl { display: grid; grid-template-columns: max-content auto; gap: 2px 12px; font-size: 13px; margin: 0 0 8px; }
dt { color: #667; } dd { margin: 0; }
table.settings { border-collapse: collapse; font-size: 12px; margin-bottom: 8px; }
table.settings th, table.settings td { border: 1px solid #dde2e8; padding: 2px 6px; text-align: left; }
.pages { display: flex; flex-wrap: wrap; gap: 8px; }
.pages figure { margin: 0; text-align: center; font-size: 11px; color: #556; }
.pages img { border: 1px solid #99a; background: #fff; display: block; }
)";

std::string Attribute(std::string_view text) { return HtmlEscape(text); }

std::string JobUrl(const DeviceJob& job, const std::string& file) { return "/jobs/" + job.folder + "/" + file; }

std::string Pages(const DeviceJob& job) {
  std::string html = "<div class=\"pages\">\n";
  for (const PageRecord& page : job.pages) {
    html += "<figure><a href=\"" + Attribute(JobUrl(job, page.image)) + "\"><img class=\"thumbnail\" src=\"" +
            Attribute(JobUrl(job, page.thumbnail)) + "\" width=\"" + std::to_string(page.thumbnailWidth) +
            "\" height=\"" + std::to_string(page.thumbnailHeight) + "\" alt=\"Page " + std::to_string(page.number) +
            "\" data-page=\"" + std::to_string(page.number) +
            "\" onload=\"this.setAttribute('data-loaded', this.naturalWidth)\"></a><figcaption>" +
            std::to_string(page.number) + " · " + std::to_string(page.width) + "×" + std::to_string(page.height) +
            "</figcaption></figure>\n";
  }
  return html + "</div>\n";
}

std::string Settings(const DeviceJob& job) {
  if (job.settings.empty() && job.faxParams.empty()) return "";
  std::string html = "<table class=\"settings\">\n";
  for (std::size_t i = 0; i < job.settings.size(); ++i) {
    const SettingsBlock& block = job.settings[i];
    std::string pages = "Pages " + std::to_string(block.fromPage) + "–";
    if (i + 1 < job.settings.size()) pages += std::to_string(job.settings[i + 1].fromPage - 1);
    html += "<tr><th colspan=\"2\">" + HtmlEscape(pages) + "</th></tr>\n";
    for (const auto& [name, value] : block.settings.values)
      html += "<tr><td>" + HtmlEscape(name) + "</td><td>" + HtmlEscape(value) + "</td></tr>\n";
  }
  if (!job.faxParams.empty()) {
    html += "<tr><th colspan=\"2\">Fax</th></tr>\n";
    for (const auto& [name, value] : job.faxParams) {
      std::string shown = name == "password" ? std::string(value.size(), '*') : value;
      html += "<tr><td>" + HtmlEscape(name) + "</td><td>" + HtmlEscape(shown) + "</td></tr>\n";
    }
  }
  return html + "</table>\n";
}

std::string JobSection(const DeviceJob& job) {
  const std::string id = ServiceIdText(job.serviceId);
  const std::string_view state = JobStateName(job.state);
  std::string html = "<section class=\"job\" id=\"job-" + Attribute(job.folder) + "\" data-service-id=\"" + id +
                     "\" data-state=\"" + std::string(state) + "\">\n<h2>#" + std::to_string(job.sequence) + " " +
                     HtmlEscape(job.name) + "<span class=\"state " + std::string(state) + "\">" +
                     std::string(state) + "</span></h2>\n<dl>\n";
  auto row = [&](std::string_view term, std::string_view value) {
    html += "<dt>" + HtmlEscape(term) + "</dt><dd>" + HtmlEscape(value) + "</dd>\n";
  };
  row("Service ID", id);
  row("Kind", job.fax ? "Fax" : "Print");
  row("From", job.computer + (job.senderIp.empty() ? "" : " (" + job.senderIp + ")") +
                  (job.transport == Transport::Port ? " over the port" : ""));
  row("Received", job.created);
  row("Pages", std::to_string(job.pages.size()));
  if (!job.outcome.empty()) row("Outcome", job.outcome);
  html += "</dl>\n" + Settings(job) + Pages(job);
  html += "<p><a href=\"" + Attribute(JobUrl(job, "job.log")) + "\">Job log</a>";
  if (!job.tiff.empty()) html += " · <a href=\"" + Attribute(JobUrl(job, job.tiff)) + "\">TIFF file</a>";
  return html + "</p>\n</section>\n";
}

std::string Page(std::string_view title, std::string_view subtitle, const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + HtmlEscape(title) +
         "</title>\n<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n<header><h1>" + HtmlEscape(title) +
         "</h1><p>" + HtmlEscape(subtitle) + "</p></header>\n<main>\n" + body + "</main>\n</body>\n</html>\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string html;
  for (char c : text) {
    switch (c) {
      case '&': html += "&amp;"; break;
      case '<': html += "&lt;"; break;
      case '>': html += "&gt;"; break;
      case '"': html += "&quot;"; break;
      case '\'': html += "&#39;"; break;
      default: html += c;
    }
  }
  return html;
}

std::string StatusPageHtml(const std::vector<DeviceJob>& newestFirst) {
  std::size_t open = 0;
  for (const DeviceJob& job : newestFirst) open += job.state == JobState::Open;
  std::string body;
  if (newestFirst.empty()) body = "<p class=\"empty\">No jobs yet.</p>\n";
  for (const DeviceJob& job : newestFirst) body += JobSection(job);
  return Page("Velkaro Ar+Vento2 K-410/460",
              (open ? "Printing" : "Ready") + std::string(" · ") + std::to_string(newestFirst.size()) + " jobs", body);
}

std::string FaxLoginPageHtml(const DeviceJob* job) {
  if (!job) return Page("Fax login", "No such fax job", "<p class=\"empty\">This fax job is not on the device.</p>\n");
  return Page("Fax login", "Fax job " + ServiceIdText(job->serviceId), JobSection(*job));
}

}  // namespace k460::device
