/* Host-supplied user interface of the KRVA server.
 *
 * Whatever the server shows the user (the declination prompt, message
 * boxes, the progress of a whole-table run) goes to these callbacks once a
 * host installs them with LKRVA_SetUiCallbacks (lkrva/lkrva.h). A host with
 * no terminal (a service, a test, a binding for another language) answers
 * the prompt and receives every message this way. Without callbacks the
 * server uses the terminal (/dev/tty) when there is one; otherwise the
 * prompt counts as cancelled and messages go to standard error.
 *
 * Every text is UTF-8 and NUL-terminated, valid only during the call.
 * Callbacks run on the thread of the call that shows something and may not
 * call the server's operations again (those calls give E_UNEXPECTED).
 *
 * The struct only grows: new members are appended and announced by a higher
 * version, so a host built against an older header keeps working. */
#ifndef LKRVA_LKRVA_UI_H
#define LKRVA_LKRVA_UI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LKRVA_UI_CALLBACKS_VERSION 1

/* Message-box styles (the values Windows uses). */
#ifndef MB_ICONERROR
#define MB_ICONERROR 0x10u
#endif
#ifndef MB_ICONWARNING
#define MB_ICONWARNING 0x30u
#endif

/* The prompt takes at most this many characters; an answer buffer of
 * LKRVA_UI_ANSWER_SIZE bytes holds that many in UTF-8 plus the NUL. */
#define LKRVA_UI_MAX_ENTRY_CHARS 255
#define LKRVA_UI_ANSWER_SIZE 1024

/* Progress events of a whole-table run, in the order they come:
 * BEGIN (value = N, the bar runs from 0 to N), STEP (value = new position),
 * FINISH (text = the closing caption), CLOSE. */
enum LKRVA_ProgressEvent {
  LKRVA_PROGRESS_BEGIN = 1,
  LKRVA_PROGRESS_STEP = 2,
  LKRVA_PROGRESS_FINISH = 3,
  LKRVA_PROGRESS_CLOSE = 4
};

typedef struct LKRVA_UiCallbacks {
  /* Always first: LKRVA_UI_CALLBACKS_VERSION of the header the host used. */
  uint32_t version;
  /* Handed back unchanged to every callback. */
  void* context;
  /* An input query: show caption and prompt with default_text as the entry
   * (all selected). Return 1 and write the edited entry, NUL-terminated, to
   * answer (answer_size bytes) for OK; return 0 for Cancel. An answer longer
   * than LKRVA_UI_MAX_ENTRY_CHARS characters is cut to that length. NULL:
   * every prompt counts as cancelled. */
  int (*input_query)(void* context, const char* caption, const char* prompt,
                     const char* default_text, char* answer, size_t answer_size);
  /* A modal message with one OK button; flags is MB_ICONWARNING or
   * MB_ICONERROR. NULL: messages go to standard error. */
  void (*message_box)(void* context, const char* text, const char* title, uint32_t flags);
  /* Progress of a long run (see LKRVA_ProgressEvent); text is NULL except
   * for FINISH. NULL: progress is not shown. */
  void (*progress)(void* context, int event, int32_t value, const char* text);
} LKRVA_UiCallbacks;

#ifdef __cplusplus
}
#endif

#endif /* LKRVA_LKRVA_UI_H */
