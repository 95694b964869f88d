#include "portal_page.h"

#include <openssl/evp.h>

#include <charconv>
#include <cstdio>

#include "form_text.h"

namespace velto::server {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string SizeText(const std::string& bytes) {
  double size = 0;
  std::from_chars(bytes.data(), bytes.data() + bytes.size(), size);
  static const char* const kUnits[] = {"B", "KB", "MB", "GB"};
  int unit = 0;
  while (size >= 1024 && unit < 3) {
    size /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", size, kUnits[unit]);
  return text;
}

constexpr const char* kStyle = R"(
:root { color-scheme: light; }
body { margin: 0; background: #f4f6f8; color: #1f2933;
  font-family: "Noto Sans KR", "Noto Sans CJK KR", "Apple SD Gothic Neo", "Malgun Gothic",
    "Nanum Gothic", system-ui, sans-serif; line-height: 1.6; }
main { max-width: 44rem; margin: 2.5rem auto; padding: 0 1.25rem; }
header { margin-bottom: 1.5rem; }
.site { margin: 0; color: #52606d; font-size: 0.95rem; }
h1 { margin: 0.2rem 0 0.4rem; font-size: 1.6rem; }
.until { margin: 0; color: #52606d; }
section { background: #fff; border: 1px solid #d9e2ec; border-radius: 0.6rem;
  padding: 1.1rem 1.4rem; margin-bottom: 1.2rem; }
h2 { margin: 0 0 0.6rem; font-size: 1.2rem; }
ul { list-style: none; margin: 0; padding: 0; }
li { display: flex; flex-wrap: wrap; align-items: baseline; gap: 0.3rem 1rem;
  padding: 0.6rem 0; border-top: 1px solid #e4e7eb; }
li:first-child { border-top: none; }
li a { font-weight: 600; color: #0b5cad; text-decoration: underline; text-underline-offset: 0.15em; }
li a:focus-visible { outline: 3px solid #f0b429; outline-offset: 2px; }
.meta { color: #52606d; font-size: 0.9rem; }
.empty { color: #52606d; margin: 0; }
footer { color: #7b8794; font-size: 0.85rem; margin-top: 2rem; }
)";

std::string Document(const std::string& title, const std::string& body) {
  return "<!DOCTYPE html>\n<html lang=\"ko\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"robots\" content=\"noindex\">\n<title>" +
         Escape(title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<main>\n" +
         body + "</main>\n</body>\n</html>\n";
}

std::string Header(const PortalView& view) {
  std::string html = "<header>\n";
  if (!view.site_name.empty()) html += "<p class=\"site\">" + Escape(view.site_name) + "</p>\n";
  html += "<h1>" + Escape(view.person.at("name")) + "님의 자료</h1>\n";
  return html;
}

std::string FileItem(const Fields& file) {
  const std::string link = "file/" + PercentEncode(file.at("id"));
  std::string html = "<li><a href=\"" + Escape(link) + "\" download>" +
                     Escape(file.at("fileName")) + "</a><span class=\"meta\">";
  if (!file.at("hlscName").empty()) html += Escape(file.at("hlscName")) + " · ";
  if (!file.at("hlscDate").empty()) html += Escape(file.at("hlscDate")) + " · ";
  return html + SizeText(file.at("fileSize")) + "</span></li>\n";
}

std::string IssueSection(const PortalView::Issue& issue, size_t index) {
  const std::string heading = "issue-" + std::to_string(index);
  std::string html = "<section aria-labelledby=\"" + heading + "\">\n<h2 id=\"" + heading + "\">" +
                     Escape(issue.issue.at("name")) + "</h2>\n";
  if (issue.files.empty())
    return html + "<p class=\"empty\">첨부된 파일이 없습니다.</p>\n</section>\n";
  html += "<ul>\n";
  for (const Fields& file : issue.files) html += FileItem(file);
  return html + "</ul>\n</section>\n";
}

}  // namespace

std::string PortalPage(const PortalView& view) {
  std::string body = Header(view);
  const std::string& end = view.portal.at("endTime");
  if (!end.empty()) body += "<p class=\"until\">" + Escape(end) + "까지 열람할 수 있습니다.</p>\n";
  body += "</header>\n";
  if (view.issues.empty())
    body += "<section><p class=\"empty\">등록된 자료가 없습니다.</p></section>\n";
  for (size_t i = 0; i < view.issues.size(); ++i) body += IssueSection(view.issues[i], i + 1);
  body += "<footer>파일 이름을 누르면 내려받습니다.</footer>\n";
  const std::string& name = view.portal.at("name");
  return Document(name.empty() ? "자료 열람" : name, body);
}

std::string ExpiredPortalPage(const PortalView& view) {
  std::string body = Header(view) + "</header>\n<section>\n<h2>열람 기간이 끝났습니다</h2>\n";
  body += "<p>이 페이지는 " + Escape(view.portal.at("endTime")) +
          "까지 열람할 수 있었습니다. 자료가 필요하면 발급 기관에 문의해 주세요.</p>\n</section>\n";
  return Document("열람 기간 만료", body);
}

std::string MissingPortalPage() {
  return Document("찾을 수 없는 페이지",
                  "<h1>찾을 수 없는 페이지입니다</h1>\n<p>주소를 다시 확인해 주세요.</p>\n");
}

}  // namespace velto::server

namespace velto::server {

const std::string& PortalPagePolicy() {
  static const std::string policy = [] {
    const std::string_view style = kStyle;
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EVP_Digest(style.data(), style.size(), digest, &size, EVP_sha256(), nullptr);
    unsigned char base64[4 * (EVP_MAX_MD_SIZE + 2) / 3 + 1];
    EVP_EncodeBlock(base64, digest, static_cast<int>(size));
    return "default-src 'none'; style-src 'sha256-" + std::string(reinterpret_cast<char*>(base64)) +
           "'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
  }();
  return policy;
}

}  // namespace velto::server
