/* net_wm_ping WINDOW [TIMEOUT_MS]: sends WINDOW the window manager's ping (_NET_WM_PING) and
   waits for its answer, which a program sends from the thread that handles its window's events.
   Prints the milliseconds the answer took, or "timeout"; the exit status is 1 on a timeout. */
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <xcb/xcb.h>

static xcb_atom_t atom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* r =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, (uint16_t)strlen(name), name), NULL);
  xcb_atom_t a = r ? r->atom : XCB_ATOM_NONE;
  free(r);
  return a;
}

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: net_wm_ping WINDOW [TIMEOUT_MS]\n");
    return 2;
  }
  const xcb_window_t window = (xcb_window_t)strtoul(argv[1], NULL, 0);
  const double timeout = argc > 2 ? atof(argv[2]) : 5000;
  xcb_connection_t* c = xcb_connect(NULL, NULL);
  if (xcb_connection_has_error(c)) return 2;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  /* The answer goes to the root window, to those who listen for changes of the root itself. */
  const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
  const xcb_atom_t protocols = atom(c, "WM_PROTOCOLS"), ping = atom(c, "_NET_WM_PING");
  const uint32_t stamp = (uint32_t)now_ms();

  xcb_client_message_event_t m;
  memset(&m, 0, sizeof m);
  m.response_type = XCB_CLIENT_MESSAGE;
  m.format = 32;
  m.window = window;
  m.type = protocols;
  m.data.data32[0] = ping;
  m.data.data32[1] = stamp;
  m.data.data32[2] = window;
  const double start = now_ms();
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, (const char*)&m);
  xcb_flush(c);

  struct pollfd fd = {xcb_get_file_descriptor(c), POLLIN, 0};
  for (;;) {
    xcb_generic_event_t* e;
    while ((e = xcb_poll_for_event(c)) != NULL) {
      const xcb_client_message_event_t* r = (const xcb_client_message_event_t*)e;
      const int answer = (e->response_type & 0x7f) == XCB_CLIENT_MESSAGE &&
                         r->data.data32[0] == ping && r->data.data32[1] == stamp;
      free(e);
      if (answer) {
        printf("%.1f\n", now_ms() - start);
        return 0;
      }
    }
    const double left = timeout - (now_ms() - start);
    if (left <= 0 || xcb_connection_has_error(c)) break;
    poll(&fd, 1, (int)left + 1);
  }
  printf("timeout\n");
  return 1;
}
