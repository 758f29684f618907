/* Status codes, result-buffer value types and host limits of the host
 * programming interface. Values are those of the ADS interface. */
#ifndef ADS_ADSCODES_H
#define ADS_ADSCODES_H

/* Status codes returned by ads_* functions. */
#define RTNORM 5100   /* success */
#define RTNONE 5000   /* empty input (Enter); also "no value" type */
#define RTERROR (-5001)
#define RTCAN (-5002) /* user cancelled */
#define RTREJ (-5003) /* request rejected */
#define RTFAIL (-5004)
#define RTKWORD (-5005) /* keyword entered; also success of entmake on ENDBLK */
#define RTINPUTTRUNCATED (-5008)

/* Result-buffer value types (restype values that are not DXF group codes). */
#define RTREAL 5001
#define RTPOINT 5002 /* 2D point */
#define RTSHORT 5003
#define RTANG 5004
#define RTSTR 5005
#define RTENAME 5006
#define RTPICKS 5007 /* selection set */
#define RTORINT 5008
#define RT3DPOINT 5009
#define RTLONG 5010
#define RTVOID 5014
#define RTLB 5016
#define RTLE 5017
#define RTDOTE 5018
#define RTNIL 5019
#define RTDXF0 5020 /* group 0, the entity type, inside filter lists */
#define RTT 5021
#define RTRESBUF 5023

/* ads_initget bits */
#define RSG_NONULL 0x0001
#define RSG_NOZERO 0x0002
#define RSG_NONEG 0x0004
#define RSG_NOLIM 0x0008
#define RSG_GETZ 0x0010
#define RSG_DASH 0x0020
#define RSG_2D 0x0040
#define RSG_OTHER 0x0080

/* Longest text ads_getstring hands back, terminating zero included. */
#define ADS_MAX_STRING 133

#endif
