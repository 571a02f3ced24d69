#include "platform/outside/qtxnpxml/http_post.h"

#include <curl/curl.h>

#include <mutex>

#include "platform/outside/qtxnpxml/qtxnpxml.h"

namespace qtxnpxml {
namespace {

struct Receiver {
  std::string* body;
  std::size_t limit;
  bool overflowed = false;
};

size_t Receive(char* data, size_t size, size_t count, void* context) {
  auto* receiver = static_cast<Receiver*>(context);
  const std::size_t bytes = size * count;
  if (receiver->body->size() + bytes > receiver->limit) {
    receiver->overflowed = true;
    return 0;  // makes libcurl end the transfer
  }
  receiver->body->append(data, bytes);
  return bytes;
}

DWORD ErrorOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_CONNECT: return MNET_ERROR_CONNECTION_REFUSED;
    case CURLE_OPERATION_TIMEDOUT: return MNET_ERROR_TIMEOUT;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return MNET_ERROR_CONNECTION_LOST;
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING: return MNET_ERROR_BAD_ANSWER;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return MNET_ERROR_INVALID_ARGUMENT;
    default: return MNET_ERROR_NETWORK;
  }
}

}  // namespace

HttpAnswer Post(const HttpPost& post) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  HttpAnswer answer;
  CURL* curl = curl_easy_init();
  if (!curl) {
    answer.error = MNET_ERROR_NETWORK;
    answer.detail = "libcurl could not start a transfer";
    return answer;
  }
  char message[CURL_ERROR_SIZE] = {};
  Receiver receiver{&answer.body, post.maxAnswerBytes};
  curl_slist* headers = nullptr;
  headers = curl_slist_append(headers, ("Content-Type: " + post.contentType).c_str());
  headers = curl_slist_append(headers, "Expect:");  // no 100-continue round
  curl_easy_setopt(curl, CURLOPT_URL, post.url.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
  curl_easy_setopt(curl, CURLOPT_PROXY, "");  // the device is reached directly
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_POST, 1L);
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, post.body.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(post.body.size()));
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(post.connectTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(post.totalTimeoutMs));
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(post.maxAnswerBytes));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);

  CURLcode code = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  answer.status = status;
  if (code == CURLE_OK) {
    char* type = nullptr;
    if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type) answer.contentType = type;
  } else if (receiver.overflowed) {
    answer.error = MNET_ERROR_BAD_ANSWER;
    answer.detail = "the answer is larger than " + std::to_string(post.maxAnswerBytes) + " bytes";
  } else {
    answer.error = ErrorOf(code);
    answer.detail = message[0] ? message : curl_easy_strerror(code);
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return answer;
}

}  // namespace qtxnpxml
