/* The resource ids of a plug-in file that both sides of the protocol know:
   the host finds the property list by its id, the plug-in loads its
   definition and its formula tables by theirs, and the filter maker finds
   both blocks again in the copy it patches. Plain #defines: the plug-in's
   resource script reads this file too. */
#ifndef TINCTOR_RESOURCE_IDS_H
#define TINCTOR_RESOURCE_IDS_H

#define IDR_PROPERTY_LIST 16     /* "PIPL" */
#define IDR_DEFINITION 16        /* "PARM" */
#define IDR_FORMULA_TABLES 16000 /* "FUNC" and "OPER" */

#endif
