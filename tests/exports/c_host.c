/* A host written in C: the header compiles as C and the library links and runs (on
 * Windows through the DLL's import library). */
#include <stdio.h>

#ifdef _WIN32
#include <winsock2.h>
typedef SOCKET NativeSocket;
typedef int AddressLength;
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
typedef int NativeSocket;
typedef socklen_t AddressLength;
#define closesocket close
#endif

#include "velto_box.h"

#ifdef _WIN32
/* On Windows the failure also arrives as a continuable exception; carry on past it. */
static LONG CALLBACK ContinuePastVelto(EXCEPTION_POINTERS* pointers) {
  return pointers->ExceptionRecord->ExceptionCode == VELTO_EXCEPTION_CODE
             ? EXCEPTION_CONTINUE_EXECUTION
             : EXCEPTION_CONTINUE_SEARCH;
}
#endif

/* Binds a socket to an ephemeral loopback port without listening: connecting to it is
 * refused, and no other program can take the port while the socket lives. */
static NativeSocket BindRefusingPort(unsigned* port) {
  struct sockaddr_in address = {0};
  AddressLength length = sizeof address;
  const NativeSocket bound = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(bound, (struct sockaddr*)&address, sizeof address) != 0 ||
      getsockname(bound, (struct sockaddr*)&address, &length) != 0) {
    return bound;
  }
  *port = ntohs(address.sin_port);
  return bound;
}

int main(void) {
  static const GUID kEventsIid = VELTO_IID_IVELTOWORKEVENTS_INIT;
  OLECHAR root_text[32];
  char ascii[32];
  unsigned port = 0;
  int i = 0;
  BSTR root = NULL;
  BSTR message = NULL;
  NativeSocket refusing;
  int failed;
#ifdef _WIN32
  WSADATA winsock;
  AddVectoredExceptionHandler(1, ContinuePastVelto);
  if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) return 3;
#endif
  refusing = BindRefusingPort(&port);
  if (port == 0) {
    fprintf(stderr, "no loopback port could be bound\n");
    return 3;
  }
  snprintf(ascii, sizeof ascii, "http://127.0.0.1:%u", port);
  for (i = 0; ascii[i] != 0; ++i) root_text[i] = (OLECHAR)ascii[i];
  root = VeltoAllocString(root_text, (unsigned)i);
  VeltoInit(root, NULL, NULL);
  VeltoEnter(NULL); /* the port refuses the connection: the failure is kept */
  VeltoLastError(&message);
  failed = message == NULL || message[0] == 0;
  VeltoFreeString(message);
  VeltoFreeString(root);
  closesocket(refusing);
#ifdef _WIN32
  WSACleanup();
#endif
  if (kEventsIid.Data1 != 0xBFD27F26u) return 2;
  if (failed) fprintf(stderr, "VeltoEnter did not keep its failure\n");
  return failed;
}
