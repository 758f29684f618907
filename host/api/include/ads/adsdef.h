/* Data types of the host programming interface. */
#ifndef ADS_ADSDEF_H
#define ADS_ADSDEF_H

#include <stddef.h>
#include <stdint.h>

typedef double ads_real;
typedef ads_real ads_point[3];
typedef int64_t ads_name[2]; /* entity name or selection-set name: two words */
typedef int64_t* ads_namep;
typedef ads_real ads_matrix[4][4];

#define X 0
#define Y 1
#define Z 2

struct ads_binary {
    short clen;
    char* buf;
};

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char* rstring;
    int64_t rlname[2];
    int32_t rlong;
    int64_t mnInt64;
    struct ads_binary rbinary;
    unsigned char ihandle[8];
};

struct resbuf {
    struct resbuf* rbnext;
    short restype; /* group code, or one of the RT* value types */
    union ads_u_val resval;
};

#define ads_name_set(from, to) ((to)[0] = (from)[0], (to)[1] = (from)[1])
#define ads_name_clear(name) ((name)[0] = (name)[1] = 0)
#define ads_name_nil(name) ((name)[0] == 0 && (name)[1] == 0)
#define ads_name_equal(a, b) ((a)[0] == (b)[0] && (a)[1] == (b)[1])
#define ads_point_set(from, to) ((to)[X] = (from)[X], (to)[Y] = (from)[Y], (to)[Z] = (from)[Z])

#endif
