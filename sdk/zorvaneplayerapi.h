/* Zorvane Audio Player control channel: the wire format.
 *
 * The running player listens on a Unix-domain stream socket that only its own user can
 * reach: $XDG_RUNTIME_DIR/zorvaneplayerapi-<uid>.sock (mode 0600; the player checks the
 * peer's user id). A client sends requests and reads one reply per request, in order, on
 * the same connection. All integers are little-endian; there is no padding.
 *
 *   request: zpapi_request_header, then payload_size payload bytes
 *   reply:   zpapi_reply
 *
 * message is the control-message number (0x9401..0x9464) or ZPAPI_MSG_COPYDATA. For the
 * copy-data message the payload is a hand-over record:
 *   uint32 data tag (number of arguments), uint32 byte count, byte count bytes of UTF-8
 *   text ending in a zero byte: the single argument, or every argument followed by CR LF.
 * A request whose header is malformed or whose payload exceeds ZPAPI_MAX_PAYLOAD is
 * answered with an error status and the connection is closed.
 */
#ifndef ZORVANEPLAYERAPI_H
#define ZORVANEPLAYERAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define ZPAPI_MAGIC 0x41505A4Bu /* "KZPA" */
#define ZPAPI_MSG_COPYDATA 0x4Au
#define ZPAPI_MSG_FIRST 0x9401u
#define ZPAPI_MSG_LAST 0x9464u
#define ZPAPI_MAX_PAYLOAD (1u << 20)

typedef struct zpapi_request_header {
  uint32_t magic;        /* ZPAPI_MAGIC */
  uint32_t message;      /* message number */
  int64_t wparam;        /* first message parameter (unused by the player's messages) */
  int64_t lparam;        /* second message parameter (the value of a set message) */
  uint32_t payload_size; /* bytes that follow */
  uint32_t reserved;     /* 0 */
} zpapi_request_header;  /* 32 bytes */

enum zpapi_status {
  ZPAPI_STATUS_OK = 0,
  ZPAPI_STATUS_MALFORMED = 1, /* bad magic, reserved field or copy-data record */
  ZPAPI_STATUS_TOO_LARGE = 2  /* payload over ZPAPI_MAX_PAYLOAD */
};

typedef struct zpapi_reply {
  uint32_t magic;  /* ZPAPI_MAGIC */
  int32_t status;  /* zpapi_status */
  int64_t result;  /* the message result */
} zpapi_reply;     /* 16 bytes */

#ifdef __cplusplus
}
#endif

#endif
