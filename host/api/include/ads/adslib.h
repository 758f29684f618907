/* The host programming interface: the ADS functions a module calls.
 * Declarations only; the running host provides the definitions. */
#ifndef ADS_ADSLIB_H
#define ADS_ADSLIB_H

#include <stddef.h>

#include "ads/adscodes.h"
#include "ads/adsdef.h"
#include "tk/window_handle.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Registration and dispatch */
int ads_defun(const char* name, short funcode);
int ads_undef(const char* name, short funcode);
int ads_getfuncode(void);
int acrxUnlockApplication(void* appPacket);

/* Command line */
int ads_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
int ads_prompt(const char* text);
int ads_textscr(void);
int ads_graphscr(void);
int ads_redraw(const ads_name ent, int mode);

/* Input. Each returns RTNORM with the value, RTNONE on Enter, RTCAN on
 * cancel, RTKWORD when a keyword of the last ads_initget was entered. */
int ads_initget(int flags, const char* keywords);
int ads_getinput(char* result);
int ads_getstring(int allowSpaces, const char* prompt, char* result);
int ads_getint(const char* prompt, int* result);
int ads_getreal(const char* prompt, ads_real* result);
int ads_getdist(const ads_point base, const char* prompt, ads_real* result);
int ads_getpoint(const ads_point base, const char* prompt, ads_point result);
int ads_getcorner(const ads_point base, const char* prompt, ads_point result);
int ads_getkword(const char* prompt, char* result);
int ads_entsel(const char* prompt, ads_name entity, ads_point pickPoint);
int ads_nentsel(const char* prompt, ads_name entity, ads_point pickPoint, ads_point xform[4],
                struct resbuf** containers);
int ads_nentselp(const char* prompt, ads_name entity, ads_point pickPoint, int pickFlag,
                 ads_matrix xform, struct resbuf** containers);

/* System variables */
int ads_getvar(const char* name, struct resbuf* result);
int ads_setvar(const char* name, const struct resbuf* value);

/* Entities */
struct resbuf* ads_entget(const ads_name entity);
struct resbuf* ads_entgetx(const ads_name entity, const struct resbuf* applications);
int ads_entmod(const struct resbuf* entity);
int ads_entmake(const struct resbuf* entity);
int ads_entdel(const ads_name entity);
int ads_entnext(const ads_name entity, ads_name result);
int ads_entlast(ads_name result);
int ads_entupd(const ads_name entity);
int ads_handent(const char* handle, ads_name entity);

/* Selection sets */
int ads_ssget(const char* mode, const void* point1, const void* point2, const struct resbuf* filter,
              ads_name selectionSet);
int ads_sslength(const ads_name selectionSet, long* length);
int ads_ssname(const ads_name selectionSet, long index, ads_name entity);
int ads_ssadd(const ads_name entity, const ads_name selectionSet, ads_name result);
int ads_ssdel(const ads_name entity, const ads_name selectionSet);
int ads_ssmemb(const ads_name entity, const ads_name selectionSet);
int ads_ssfree(const ads_name selectionSet);

/* Symbol tables */
struct resbuf* ads_tblsearch(const char* table, const char* name, int setNext);
struct resbuf* ads_tblnext(const char* table, int rewind);
int ads_regapp(const char* application);

/* Host commands. ads_command takes (type, value) pairs ending with 0;
 * ads_cmd takes the same arguments as one list. */
int ads_command(int type, ...);
int ads_cmd(const struct resbuf* arguments);

/* Result-buffer lists */
struct resbuf* ads_buildlist(int type, ...);
struct resbuf* ads_newrb(int type);
int ads_relrb(struct resbuf* list);

/* Dragging and transformation */
int ads_draggen(const ads_name selectionSet, const char* prompt, int cursor,
                int (*sample)(ads_point point, ads_matrix matrix), ads_point result);
int ads_xformss(const ads_name selectionSet, ads_matrix matrix);

/* The host's heap */
void* acad_malloc(size_t size);
void* acad_calloc(size_t count, size_t size);
void* acad_realloc(void* block, size_t size);
void acad_free(void* block);
char* acad__strdup(const char* text);
size_t acad__msize(void* block);

/* The host's main window */
HWND adsw_acadMainWnd(void);

#ifdef __cplusplus
}
#endif

#endif
