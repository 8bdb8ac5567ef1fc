#!/usr/bin/env python3
"""Writes data/sample/dbase.xml, the sample aircraft database.

Type designators, wingspans (metres; rotor diameters for rotorcraft) and airline ICAO codes are public facts. The
registrations are made up in each country's pattern, so they look real without naming real aircraft. Publishers and
third parties are fictitious. The output is the same on every run: run it again after changing the tables below.

    tools/datatool/make_sample_dbase.py [OUTPUT]   (default: data/sample/dbase.xml beside this tool)
"""

import random
import sys
from pathlib import Path
from xml.sax.saxutils import quoteattr

# Category letters: L light (in no category set), B business jet, R large, H heavy, P high performance, C rotorcraft.
TYPES = """
L C150 10.16  L C152 10.16  L C172 11.00  L C182 10.97  L C206 10.97  L C208 15.88  L C210 11.20  L C310 11.25
L C340 11.63  L C414 13.45  L C421 12.53  L P28A 10.67  L P28R 10.80  L P32R 10.67  L PA34 11.86  L PA31 12.40
L PA46 13.11  L P46T 13.11  L BE20 16.61  L BE35 10.21  L BE36 10.21  L BE58 11.53  L BE9L 15.32  L B350 17.65
L SR20 11.68  L SR22 11.68  L DA40 11.94  L DA42 13.42  L DA62 14.55  L TBM7 12.83  L TBM8 12.83  L TBM9 12.83
L PC12 16.28  L PC6 15.87   L M20P 10.67  L DHC2 14.63  L DHC6 19.81  L B190 17.67  L L410 19.98  L SW4 17.37
L AN2 18.18   L J3 10.74    L DR40 8.72   L BN2P 14.94
B C510 13.16  B C525 14.35  B C25A 15.19  B C25B 16.26  B C25C 15.49  B C550 15.76  B C560 15.90  B C56X 16.98
B C680 19.30  B C68A 22.05  B C700 21.00  B C750 19.48  B CL30 19.46  B CL35 21.00  B CL60 19.61  B GLEX 28.65
B GL5T 28.65  B GL7T 31.70  B GLF4 23.72  B GLF5 28.50  B GLF6 30.36  B G280 19.20  B GALX 17.70  B FA7X 26.21
B FA8X 26.29  B F900 19.33  B F2TH 21.38  B FA50 18.86  B E50P 12.30  B E55P 15.91  B E545 20.25  B E550 20.25
B E35L 21.17  B LJ35 12.04  B LJ45 14.58  B LJ60 13.34  B LJ75 15.51  B H25B 15.66  B PRM1 13.56  B HDJT 12.12
B SF50 11.68  B PC24 17.00  B BE40 13.26  B ASTR 16.05  B EA50 11.56
R A318 34.10  R A319 35.80  R A320 35.80  R A321 35.80  R A19N 35.80  R A20N 35.80  R A21N 35.80  R BCS1 35.10
R BCS3 35.10  R B712 28.40  R B721 32.92  R B722 32.92  R B732 28.35  R B733 28.88  R B734 28.88  R B735 28.88
R B736 34.32  R B737 35.79  R B738 35.79  R B739 35.79  R B37M 35.92  R B38M 35.92  R B39M 35.92  R B3XM 35.92
R B752 38.05  R B753 38.05  R MD81 32.87  R MD82 32.87  R MD83 32.87  R MD87 32.87  R MD88 32.87  R MD90 32.87
R DC93 28.47  R F70 28.08   R F100 28.08  R F28 25.07   R E135 20.04  R E145 20.04  R E170 26.00  R E75L 28.65
R E75S 26.00  R E190 28.72  R E195 28.72  R E290 33.72  R E295 35.12  R CRJ1 21.21  R CRJ2 21.21  R CRJ7 23.24
R CRJ9 24.85  R CRJX 26.18  R AT43 24.57  R AT45 24.57  R AT72 27.05  R AT75 27.05  R AT76 27.05  R DH8A 25.91
R DH8B 25.91  R DH8C 27.43  R DH8D 28.42  R SF34 21.44  R SB20 24.76  R D328 20.98  R J328 20.98  R JS41 18.29
R F50 29.00   R B461 26.21  R B462 26.21  R B463 26.21  R RJ70 26.34  R RJ85 26.34  R RJ1H 26.34  R SU95 27.80
R A148 28.91  R C919 35.80  R AN12 38.00  R AN26 29.20  R C130 40.41  R C30J 40.41
H A306 44.84  H A30B 44.84  H A310 43.90  H A332 60.30  H A333 60.30  H A338 64.00  H A339 64.00  H A342 60.30
H A343 60.30  H A345 63.45  H A346 63.45  H A359 64.75  H A35K 64.75  H A388 79.75  H A3ST 44.84  H B741 59.64
H B742 59.64  H B744 64.44  H B748 68.40  H BLCF 64.44  H B762 47.57  H B763 47.57  H B764 51.92  H B772 60.93
H B773 60.93  H B77L 64.80  H B77W 64.80  H B778 71.75  H B779 71.75  H B788 60.12  H B789 60.12  H B78X 60.12
H DC10 50.40  H MD11 51.97  H L101 47.35  H IL76 50.50  H IL96 60.11  H A124 73.30  H A225 88.40  H C5M 67.89
H C17 51.75   H A400 42.40  H K35R 39.88
P F16 9.96    P F18 12.30   P F15 13.05   P F22 13.56   P F35 10.70   P EUFI 10.95  P RFAL 10.90  P TOR 13.91
P MIR2 9.13   P SU27 14.70  P MG29 11.36  P A10 17.53   P T38 7.70    P HAWK 9.94   P L39 9.46    P F14 19.54
P F4 11.70    P AJET 9.11
C EC35 10.20  C EC45 11.00  C EC30 10.69  C EC55 12.60  C EC75 14.80  C AS50 10.69  C AS55 10.69  C AS65 11.94
C AS32 15.60  C A139 13.80  C A169 12.12  C A189 14.60  C A109 10.83  C B06 10.16   C B407 10.67  C B412 14.02
C B429 11.00  C S76 13.41   C S92 17.17   C H60 16.36   C R44 10.06   C R22 7.67    C EC20 10.00  C NH90 16.30
C UH1 14.63   C H47 18.29   C MI8 21.29   C BK17 11.00  C H500 8.05
"""

CARGO_TYPES = "A306 A30B A310 A332 AN12 A124 A3ST B722 B733 B734 B738 B744 B748 B752 B762 B763 B77L BLCF C130 DC10 IL76 MD11 AT72"

SIMILAR_GROUPS = """
A318,A319,A320,A321,A19N,A20N,A21N
B732,B733,B734,B735
B736,B737,B738,B739,B37M,B38M,B39M,B3XM
B752,B753
B762,B763,B764
B772,B773,B77L,B77W,B778,B779
B788,B789,B78X
A332,A333,A338,A339
A342,A343,A345,A346
A359,A35K
B741,B742,B744,B748
A306,A30B,A310
DC10,MD11
MD81,MD82,MD83,MD87,MD88,MD90
E170,E75L,E75S
E190,E195,E290,E295
E135,E145
CRJ1,CRJ2
CRJ7,CRJ9,CRJX
AT43,AT45
AT72,AT75,AT76
DH8A,DH8B,DH8C
B461,B462,B463,RJ70,RJ85,RJ1H
F70,F100
BCS1,BCS3
C150,C152
C172,C182
P28A,P28R
SR20,SR22
TBM7,TBM8,TBM9
C525,C25A,C25B,C25C
GLEX,GL5T,GL7T
EC35,EC45
AS50,AS55,EC30
"""

# Codes that livery titles and traffic feeds are known to spell wrongly, with the designator they mean.
FIXES = """
A320NEO A20N  A321NEO A21N  A319NEO A19N  A20NX A20N  A350 A359  A350-1000 A35K  A380 A388  A330 A333  A340 A346
B737-800 B738  B7378 B738  B737MAX8 B38M  B737MAX9 B39M  B787 B788  B787-9 B789  B77F B77L  B777F B77L  B748F B748
B744F B744  B767 B763  B757 B752  E175 E75L  E195E2 E295  ATR72 AT76  ATR42 AT45  Q400 DH8D  DHC8 DH8D  CRJ700 CRJ7
CRJ900 CRJ9  MD-11 MD11  C172SP C172  BE200 BE20  H145 EC45  H135 EC35
"""

# Airline ICAO code, airline name, cargo operator, fleet as "TYPE:COUNT:PATTERN" ("?" a letter, "#" a digit). The
# sample keeps a third of each count (at least two), enough to be realistic and small enough to read quickly.
AIRLINES = """
DLH|Lufthansa|0|A319:14:D-AIB? A320:24:D-AI?? A20N:20:D-AIN? A21N:18:D-AIE? A321:20:D-AIS? A333:8:D-AIK? A343:10:D-AIF? A346:12:D-AIH? A359:16:D-AIX? A388:8:D-AIM? B744:8:D-ABV? B748:16:D-ABY?
CLH|Lufthansa CityLine|0|CRJ9:20:D-ACN? A20N:8:D-AJN? A343:6:D-AIG?
EWG|Eurowings|0|A319:18:D-AGW? A320:20:D-AEW? A321:6:D-AEU?
CFG|Condor|0|A320:14:D-AIC? A321:10:D-ATC? A339:16:D-ANR? B763:12:D-ABU?
TUI|TUIfly|0|B738:16:D-ATU? B38M:10:D-AMA?
GEC|Lufthansa Cargo|1|B77L:12:D-ALF? MD11:6:D-ALC?
BOX|AeroLogic|1|B77L:12:D-AAL?
BCS|European Air Transport|1|A306:10:D-AEA? B752:8:D-ALE? B763:8:D-AZM?
BAW|British Airways|0|A319:20:G-EUP? A320:24:G-EU?? A20N:16:G-TTN? A21N:14:G-NEO? A388:12:G-XLE? B772:20:G-YMM? B77W:16:G-STB? B788:12:G-ZBJ? B789:18:G-ZBK? B78X:8:G-ZBL? A35K:18:G-XWB?
EZY|easyJet|0|A319:20:G-EZ?? A320:26:G-EZ?? A20N:24:G-UZ?? A21N:12:G-UZM?
EZS|easyJet Switzerland|0|A319:10:HB-JY? A320:14:HB-JX?
EJU|easyJet Europe|0|A320:18:OE-IV? A20N:12:OE-LS?
VIR|Virgin Atlantic|0|A339:12:G-VJ?? A35K:12:G-VP?? B789:16:G-VB??
TOM|TUI Airways|0|B738:18:G-TAW? B38M:12:G-TUM? B788:10:G-TUI? B789:6:G-TUL?
EXS|Jet2|0|B733:10:G-GDF? B738:24:G-JZ?? A21N:10:G-JZA?
LOG|Loganair|0|AT72:8:G-LM?? E145:8:G-SA?? SB20:6:G-LG??
SHT|British Airways Shuttle|0|A319:6:G-DBC? A320:6:G-MID?
DHK|DHL Air|1|B752:14:G-DH?? B763:8:G-DHL? B77L:6:G-DHL?
AFR|Air France|0|A318:14:F-GUG? A319:20:F-GRH? A320:24:F-HB?? A321:16:F-GTA? A20N:14:F-HZU? A332:12:F-GZC? A359:18:F-HTY? B772:14:F-GSP? B77W:24:F-GZ?? B789:10:F-HRB?
HOP|Air France Hop|0|E170:12:F-HBX? E190:14:F-HBL? CRJX:10:F-HMM?
TVF|Transavia France|0|B738:24:F-HT?? A20N:10:F-HXV?
CRL|Corsair|0|A339:6:F-HSE? A333:4:F-HCR?
KLM|KLM|0|B738:26:PH-B?? B739:8:PH-B?? B772:14:PH-B?? B77W:16:PH-BV? B789:12:PH-BH? B78X:12:PH-BK? A332:6:PH-AO? A333:6:PH-AK? A21N:10:PH-AX?
KLC|KLM Cityhopper|0|E75L:18:PH-EX? E190:20:PH-EZ? E295:16:PH-NX?
TRA|Transavia|0|B737:8:PH-XR? B738:24:PH-H?? A21N:12:PH-YH?
TFL|TUI fly Netherlands|0|B738:8:PH-TF? B789:4:PH-TU?
MPH|Martinair|1|B744:6:PH-CK?
RYR|Ryanair|0|B738:60:EI-??? B38M:40:EI-I??
RUK|Ryanair UK|0|B738:14:G-RUK?
EIN|Aer Lingus|0|A320:24:EI-D?? A20N:8:EI-NS? A21N:12:EI-LR? A332:6:EI-EL? A333:8:EI-FN?
BEL|Brussels Airlines|0|A319:12:OO-SS? A320:16:OO-SN? A333:10:OO-SF?
TUB|TUI fly Belgium|0|B738:12:OO-JA? B38M:6:OO-TM?
SWR|Swiss|0|BCS1:9:HB-JB? BCS3:20:HB-JC? A320:18:HB-JL? A321:8:HB-IO? A21N:8:HB-JP? A333:14:HB-JH? A343:4:HB-JM? B77W:12:HB-JN?
EDW|Edelweiss|0|A320:8:HB-JJ? A343:6:HB-JM? A359:6:HB-IH?
AUA|Austrian|0|A320:24:OE-L?? A21N:8:OE-LZ? E195:12:OE-LW? B763:6:OE-LA? B772:6:OE-LP? B788:6:OE-LX?
IBE|Iberia|0|A320:16:EC-IL? A20N:12:EC-NA? A321:10:EC-JD? A21N:14:EC-NI? A332:8:EC-MN? A333:6:EC-LU? A359:18:EC-MX?
IBS|Iberia Express|0|A320:12:EC-LK? A20N:10:EC-NO? A321:4:EC-NU?
VLG|Vueling|0|A320:40:EC-M?? A20N:16:EC-N?? A321:12:EC-JZ?
AEA|Air Europa|0|B738:20:EC-M?? B38M:8:EC-NX? B788:6:EC-MI? B789:12:EC-N??
ANE|Air Nostrum|0|CRJ9:12:EC-JX? CRJX:10:EC-LO? AT72:8:EC-MJ?
TAP|TAP Air Portugal|0|A319:10:CS-TT? A320:18:CS-TN? A20N:12:CS-TV? A21N:14:CS-TJ? A339:18:CS-TU?
ITY|ITA Airways|0|A319:10:EI-IM? A320:18:EI-DT? A20N:10:EI-HD? A332:6:EI-EJ? A339:8:EI-HJ? A359:6:EI-IF?
SAS|Scandinavian|0|A20N:24:SE-R?? A21N:8:LN-RG? A333:8:LN-RK? A359:6:SE-RS? CRJ9:12:OY-KF?
NOZ|Norwegian|0|B738:40:LN-N?? B38M:12:SE-RP?
FIN|Finnair|0|A319:8:OH-LV? A320:10:OH-LX? A321:14:OH-LZ? A333:8:OH-LT? A359:16:OH-LW? AT76:12:OH-AT? E190:12:OH-LK?
LOT|LOT Polish Airlines|0|B738:10:SP-LW? B38M:12:SP-LV? E170:6:SP-LD? E75L:12:SP-LI? E195:12:SP-LN? B788:8:SP-LR? B789:6:SP-LS? DH8D:10:SP-EQ?
CSA|Czech Airlines|0|A320:6:OK-HE? A20N:4:OK-TV?
WZZ|Wizz Air|0|A320:24:HA-L?? A321:24:HA-L?? A21N:30:HA-L??
THY|Turkish Airlines|0|A320:16:TC-JP? A321:18:TC-JR? A21N:20:TC-LS? A332:10:TC-JN? A333:12:TC-LN? A359:12:TC-LG? B738:30:TC-J?? B38M:14:TC-LC? B77W:20:TC-JJ? B789:14:TC-LL?
PGT|Pegasus|0|A320:14:TC-DC? A20N:24:TC-N?? A21N:14:TC-RB? B738:18:TC-CP?
AEE|Aegean|0|A320:22:SX-D?? A321:8:SX-DG? A20N:8:SX-NE? A21N:8:SX-NA?
ROT|Tarom|0|B737:4:YR-BG? B738:6:YR-BM? AT72:6:YR-AT?
UAE|Emirates|0|A388:26:A6-E?? B77W:26:A6-E?? B77L:10:A6-EF?
ETD|Etihad|0|A321:8:A6-AE? B789:20:A6-BL? B78X:14:A6-BM? B77W:12:A6-ET? A35K:6:A6-XW?
QTR|Qatar Airways|0|A320:8:A7-AH? A359:24:A7-A?? A35K:18:A7-AN? A388:10:A7-AP? B77W:24:A7-B?? B77L:16:A7-BF? B788:20:A7-BC? B789:8:A7-BH?
SVA|Saudia|0|A320:20:HZ-AS? A321:14:HZ-AN? B77W:20:HZ-AK? B789:12:HZ-AR?
GFA|Gulf Air|0|A20N:8:A9C-N? A21N:6:A9C-T? B789:8:A9C-F?
RJA|Royal Jordanian|0|A319:4:JY-AY? A320:6:JY-AZ? B788:6:JY-BA?
ELY|El Al|0|B738:12:4X-EK? B739:8:4X-EH? B77W:6:4X-EC? B788:4:4X-ER? B789:8:4X-ED?
MEA|Middle East Airlines|0|A320:6:OD-MR? A21N:10:OD-MA? A333:4:OD-MT?
OMA|Oman Air|0|B738:10:A4O-B? B38M:6:A4O-M? B788:6:A4O-S? B789:6:A4O-T?
FDB|flydubai|0|B738:20:A6-F?? B38M:24:A6-F??
ABY|Air Arabia|0|A320:24:A6-A?? A21N:6:A6-AT?
ETH|Ethiopian Airlines|0|B738:10:ET-AV? B38M:8:ET-AX? B788:12:ET-AO? B789:8:ET-AU? B77W:6:ET-AS? B77L:8:ET-AR? A359:18:ET-AT? DH8D:18:ET-AN?
MSR|EgyptAir|0|A20N:10:SU-GF? A21N:6:SU-GG? B738:24:SU-G?? B77W:6:SU-GE? A333:4:SU-GC? B789:4:SU-GH?
RAM|Royal Air Maroc|0|B738:24:CN-R?? B38M:2:CN-MA? B788:6:CN-RO? B789:4:CN-RA? AT76:10:CN-CO?
SAA|South African Airways|0|A320:8:ZS-SZ? A333:4:ZS-SX? A359:4:ZS-SD?
KQA|Kenya Airways|0|B738:8:5Y-KZ? B788:8:5Y-KY? E190:12:5Y-FL?
SIA|Singapore Airlines|0|A359:26:9V-S?? A388:12:9V-SK? B77W:20:9V-SW? B78X:20:9V-SC? B38M:8:9V-MB?
CPA|Cathay Pacific|0|A21N:10:B-HP? A333:20:B-LB? A359:24:B-L?? A35K:18:B-LX? B77W:26:B-K??
CCA|Air China|0|A320:30:B-6### A321:26:B-1### A21N:10:B-3### A333:20:B-5### A359:10:B-30## B738:40:B-5### B38M:12:B-1### B77W:24:B-20## B789:14:B-12## B748:7:B-24##
CES|China Eastern|0|A320:40:B-9### A321:30:B-8### A333:24:B-6### A359:14:B-30## B738:40:B-7### B77W:16:B-20## B789:10:B-1### C919:6:B-919?
CSN|China Southern|0|A320:40:B-6### A321:30:B-30## A20N:20:B-8### A333:16:B-59## A359:14:B-32## B738:40:B-1### B38M:20:B-1### B77W:16:B-7### B788:10:B-27## B789:12:B-12##
CHH|Hainan Airlines|0|B738:30:B-5### B789:20:B-1### A333:10:B-6###
JAL|Japan Airlines|0|B738:26:JA3##J B763:10:JA6##J B772:6:JA0##D B77W:10:JA7##J B788:18:JA8##J B789:16:JA8##J A359:16:JA##XJ E170:12:JA2##J E190:12:JA2##J
ANA|All Nippon Airways|0|A320:10:JA2##A A20N:12:JA2##A A21N:20:JA1##A B738:30:JA##AN B763:12:JA6##A B772:10:JA7##A B77W:16:JA7##A B788:30:JA8##A B789:30:JA8##A B78X:4:JA9##A A388:3:JA38#A DH8D:18:JA4##A
KAL|Korean Air|0|A21N:14:HL8### A333:14:HL7### B738:10:HL7### B38M:10:HL8### B77W:24:HL8### B772:8:HL7### B789:10:HL8### B748:9:HL76## A388:10:HL76##
AAR|Asiana Airlines|0|A321:20:HL8### A333:12:HL7### A359:14:HL80## A388:6:HL76##
EVA|EVA Air|0|A321:16:B-162## A333:8:B-163## B77W:30:B-167## B789:8:B-179## B78X:10:B-178##
CAL|China Airlines|0|A333:16:B-183## A359:14:B-181## B738:10:B-185## B77W:10:B-180## A21N:14:B-18###
THA|Thai Airways|0|A359:12:HS-TH? B77W:14:HS-TK? B788:6:HS-TQ? B789:2:HS-TW? A333:10:HS-TE?
MAS|Malaysia Airlines|0|A333:12:9M-MT? A339:6:9M-MN? A359:7:9M-MA? B738:30:9M-M?? B38M:10:9M-MV?
GIA|Garuda Indonesia|0|B738:30:PK-G?? A333:10:PK-GP? B77W:8:PK-GI?
PAL|Philippine Airlines|0|A321:20:RP-C9## A21N:10:RP-C9## A333:12:RP-C8## A359:6:RP-C35## B77W:8:RP-C77##
HVN|Vietnam Airlines|0|A321:30:VN-A3## A21N:16:VN-A6## A359:14:VN-A8## B789:12:VN-A8## B78X:4:VN-A87#
AIC|Air India|0|A319:14:VT-SC? A320:20:VT-EX? A20N:24:VT-E?? A21N:14:VT-RT? B77W:14:VT-AL? B788:26:VT-A?? A359:6:VT-JR?
IGO|IndiGo|0|A20N:60:VT-I?? A21N:40:VT-I?? AT76:30:VT-I??
AXM|AirAsia|0|A320:40:9M-A?? A20N:30:9M-A?? A21N:4:9M-VA?
CEB|Cebu Pacific|0|A320:20:RP-C32## A21N:10:RP-C44## A339:6:RP-C39## AT76:16:RP-C72##
QFA|Qantas|0|A332:18:VH-EB? A333:10:VH-QP? A388:10:VH-OQ? B738:60:VH-V?? B789:14:VH-ZN?
VOZ|Virgin Australia|0|B738:60:VH-Y?? B38M:4:VH-8I?
JST|Jetstar|0|A320:40:VH-V?? A321:8:VH-VW? A21N:16:VH-OY? B788:11:VH-VK?
ANZ|Air New Zealand|0|A320:16:ZK-OJ? A20N:10:ZK-NH? A21N:10:ZK-OY? B77W:7:ZK-OK? B789:14:ZK-NZ? AT76:30:ZK-M??
AAL|American Airlines|0|A319:40:N7##UW A320:40:N6##AW A321:60:N9##AA A21N:30:N4##AN B738:80:N9##NN B38M:40:N3##RT B772:30:N7##AN B77W:20:N7##AN B788:30:N8##AA B789:20:N8##AN
DAL|Delta Air Lines|0|A319:30:N3##NB A320:40:N3##US A321:50:N3##DN A21N:30:N5##DT A332:11:N8##NW A333:20:N8##NW A339:20:N4##DZ A359:20:N5##DN B712:40:N9##AT B738:40:N3##DA B739:50:N8##DN B752:40:N6##DN B763:30:N1##DN BCS1:30:N1##DU BCS3:20:N3##DU
UAL|United Airlines|0|A319:40:N8##UA A320:40:N4##UA A21N:30:N4##UA B38M:40:N###UA B39M:30:N###UA B738:60:N###UA B739:60:N###UA B752:30:N5##UA B753:20:N###UA B763:30:N6##UA B772:40:N###UA B77W:20:N###UA B788:12:N###UA B789:30:N###UA B78X:20:N1##UA
SWA|Southwest Airlines|0|B737:80:N7##SW B738:80:N8###Q B38M:60:N8###Q
JBU|JetBlue|0|A320:60:N5##JB A321:40:N9##JB A21N:20:N2##JB BCS3:20:N3##JB E190:20:N2##JB
ASA|Alaska Airlines|0|B739:50:N4##AS B39M:30:N9##AK B738:30:N5##AS
SKW|SkyWest|0|CRJ2:40:N9##SW CRJ7:40:N6##SK CRJ9:30:N8##SK E75L:60:N1##SY
RPA|Republic Airways|0|E170:20:N8##RP E75L:60:N4##YX
NKS|Spirit Airlines|0|A320:30:N6##NK A20N:30:N9##NK A21N:10:N6##NK A321:20:N6##NK
FFT|Frontier Airlines|0|A320:20:N2##FR A20N:40:N3##FR A21N:30:N6##FR
HAL|Hawaiian Airlines|0|A332:24:N3##HA A21N:18:N2##HA B712:19:N4##HA B789:4:N7##HA
ACA|Air Canada|0|A319:16:C-FY?? A320:18:C-FD?? A321:14:C-GJ?? A333:8:C-GF?? B38M:30:C-FS?? B77W:18:C-FI?? B788:8:C-GH?? B789:22:C-FV?? BCS3:30:C-GJ??
WJA|WestJet|0|B737:20:C-GW?? B738:40:C-FW?? B38M:20:C-GX?? B789:7:C-GU?? DH8D:20:C-GK??
JZA|Jazz|0|CRJ9:30:C-GJ?? DH8D:30:C-GG??
TSC|Air Transat|0|A321:10:C-GT?? A21N:16:C-GO?? A333:10:C-GK??
AMX|Aeromexico|0|B738:40:XA-A?? B38M:30:XA-M?? B788:8:XA-AM? B789:12:XA-AD? E190:20:XA-G??
VOI|Volaris|0|A320:30:XA-V?? A20N:30:N5##VL A21N:20:XA-V??
AVA|Avianca|0|A320:50:N4##AV A20N:30:N7##AV B788:12:N7##AV
LAN|LATAM Airlines|0|A320:40:CC-B?? A321:20:CC-B?? B763:10:CC-C?? B788:10:CC-BB? B789:14:CC-BG?
TAM|LATAM Brasil|0|A320:40:PR-M?? A321:30:PT-M?? B77W:10:PT-MU? B763:8:PR-AD?
GLO|Gol|0|B738:60:PR-G?? B38M:30:PR-X??
AZU|Azul|0|A20N:40:PR-Y?? A339:10:PR-AN? E195:30:PR-A?? E295:20:PS-AE? AT76:30:PR-A??
CMP|Copa Airlines|0|B738:60:HP-1##CMP B38M:30:HP-9##CMP
ARG|Aerolineas Argentinas|0|B738:30:LV-F?? B38M:10:LV-G?? A332:4:LV-FN?
AFL|Aeroflot|0|A320:40:VP-B?? A20N:10:VP-BT? A321:40:VP-B?? A333:10:VQ-BE? A359:7:VQ-BF? B738:40:VP-B?? B77W:20:VQ-BQ? SU95:40:RA-89###
SBI|S7 Airlines|0|A320:20:VP-BC? A20N:20:VQ-BC? A21N:10:VQ-BG? B738:20:VP-BQ? B38M:2:VP-BM? E170:10:VQ-BB?
KZR|Air Astana|0|A20N:10:P4-KB? A21N:10:P4-KC? B763:3:P4-KE? E190:10:P4-KH?
FDX|FedEx|1|B752:60:N9##FD B763:60:N1##FE B77L:40:N8##FD MD11:40:N5##FE A306:40:N6##FE C208:40:N7##FX AT72:20:N8##FX
UPS|UPS Airlines|1|B752:60:N4##UP B763:60:N3##UP B744:10:N5##UP B748:30:N6##UP MD11:30:N2##UP A306:40:N1##UP
GTI|Atlas Air|1|B744:30:N4##MC B748:12:N8##GT B763:10:N6##GT B77L:8:N7##GT
CLX|Cargolux|1|B744:10:LX-?CV B748:14:LX-V??
CKS|Kalitta Air|1|B744:20:N7##CK B77L:10:N7##CK
ABW|AirBridgeCargo|1|B744:6:VP-BI? B748:8:VQ-BL?
CAO|Air China Cargo|1|B77L:12:B-20## B744:3:B-24##
"""

# Regional and subsidiary airlines that fly their fleet for a brand: their records name the brand as the airline and
# their own code as the operator ("opr"). The program takes the operator, when a record has one, as the aircraft's
# airline, and falls back to the brand when no livery of the operator exists; every other record has no operator.
OPERATED_FOR = {"CLH": "DLH", "KLC": "KLM", "EZS": "EZY", "EJU": "EZY", "SHT": "BAW", "RUK": "RYR", "IBS": "IBE",
                "HOP": "AFR", "JZA": "ACA"}

# General aviation and business aircraft without an airline: registration pattern per type.
PRIVATE = """
C172:40:N#####  C172:20:D-E???  C172:12:G-B???  SR22:30:N###SR  SR22:10:D-E???  P28A:24:N####P  P28A:10:G-B???
PA34:8:N####S  C182:16:N###CS  BE36:10:N###BB  BE58:8:D-G???  DA40:10:D-E???  DA42:8:D-G???  TBM9:8:N9##TB
PC12:10:N###PC  C208:10:N###CV  DHC6:4:C-G???  C25A:8:N###CJ  C56X:12:N###QS  C68A:10:N###LX  CL35:10:N###CL
GLF6:10:N###GA  GLEX:8:N###BD  FA7X:6:F-H???  E55P:10:N###EP  PC24:6:HB-V??  LJ45:6:D-C???  F2TH:6:D-B???
EC35:10:D-H???  EC45:12:D-H???  A139:6:N###AW  R44:10:N###RH  B407:8:N###BH  AS50:8:F-G???  C152:12:N##??
"""

# The aircraft of the sample recording (data/sample/traffic.txt) that the draws above do not give, as
# "REGISTRATION:AIRLINE:TYPE" (no airline for a private aircraft): a stand is learned only for an aircraft with a
# record, so every aircraft the demo parks needs one. Reserved before the draws, which then keep their output.
RECORDED = """
A6-EDT:UAE:A388  D-AECA:CLH:E190  D-AIAX:CFG:A21N  D-AIZB:DLH:A320  D-ATUF:TUI:B738  D-EFKA::C172  EI-DEO:EIN:A320
EI-HEA:RYR:B38M  F-GRHK:AFR:A319  G-EUYM:BAW:A320  N29985:UAL:B789  SP-LNA:LOT:E195
"""

PUBLISHERS = [
    "Northwind Sceneries,northwind-sceneries,NW Sceneries",
    "Blue Horizon Simulations,bluehorizon,blue-horizon-sim",
    "Cirrostratus Design,cirrostratus",
    "Harbour Light Scenery,harbourlight,harbour-light",
    "Meridian Airports,meridian-airports",
    "Pinewood Simworks,pinewood",
    "Skylark Studios,skylark-studios,skylarkstudios",
    "Tarmac Twelve,tarmac12,tarmac-twelve",
]

SIMADDONS20 = "EDDF EDDM EGLL EHAM LFPG LEMD LIRF LSZH KJFK KLAX KSFO KSEA KORD KATL CYVR YSSY RJTT OMDB VHHH SBGR"

THIRDPARTIES20 = [
    ("Northwind Sceneries", "EDDF1,EDDH2,EDDL,EKCH,ESSA,ENGM"),
    ("Blue Horizon Simulations", "EGLL,EGKK,EGCC2,EIDW"),
    ("Cirrostratus Design", "LFPG,LFPO,LFMN,LSGG3"),
    ("Harbour Light Scenery", "KSEA,KSFO,KLAX2,PHNL"),
    ("Meridian Airports", "OMDB,OTHH,VHHH,WSSS,RJTT"),
    ("Pinewood Simworks", "EDFE,EDFZ,EDFM,EDRK"),
]

THIRDPARTIES24 = [
    ("Northwind Sceneries", "EDDF1,EDDM,EKCH"),
    ("Skylark Studios", "LOWW,LOWS,LOWI2"),
    ("Tarmac Twelve", "KJFK,KEWR,KLGA,KBOS"),
]


def types():
    fields = TYPES.split()
    return [(fields[i + 1], fields[i], fields[i + 2]) for i in range(0, len(fields), 3)]


def draw(pattern, rng):
    text = ""
    for character in pattern:
        if character == "?":
            text += rng.choice("ABCDEFGHIJKLMNPQRSTUVWXYZ")
        elif character == "#":
            text += rng.choice("0123456789")
        else:
            text += character
    return text


def brand_and_operator(code):
    """The airline and operator of a record for an aircraft the airline `code` flies."""
    return (OPERATED_FOR[code], code) if code in OPERATED_FOR else (code, "")


def registrations(rng, known_types):
    """(reg, airline, type, operator, cargo) records, every registration unique; the operator is an airline code or
    empty."""
    records = []
    used = set()
    cargo_airlines = set(cargo_operators())
    for entry in RECORDED.split():
        reg, code, type_code = entry.split(":")
        assert type_code in known_types, type_code
        assert reg not in used, f"{reg} is listed twice"
        used.add(reg)
        airline, operator = brand_and_operator(code)
        records.append((reg, airline, type_code, operator, code in cargo_airlines))

    def add(pattern, count, airline, type_code, operator, cargo):
        assert type_code in known_types, type_code
        capacity = 25 ** pattern.count("?") * 10 ** pattern.count("#")
        assert count <= capacity * 0.8, f"pattern {pattern} is too narrow for {count} registrations"
        made = 0
        attempts = 0
        while made < count:
            attempts += 1
            assert attempts < count * 50, f"pattern {pattern} has too few free registrations"
            reg = draw(pattern, rng)
            if reg in used:
                continue
            used.add(reg)
            records.append((reg, airline, type_code, operator, cargo))
            made += 1

    for line in AIRLINES.strip().splitlines():
        code, _, cargo, fleet = line.split("|")
        airline, operator = brand_and_operator(code)
        for entry in fleet.split():
            type_code, count, pattern = entry.split(":")
            add(pattern, max(2, int(count) // 3), airline, type_code, operator, cargo == "1")
    for entry in PRIVATE.split():
        type_code, count, pattern = entry.split(":")
        if int(count) > 0:
            add(pattern, int(count), "", type_code, "", False)
    return records


def airline_codes():
    return [line.split("|")[0] for line in AIRLINES.strip().splitlines()]


def cargo_operators():
    return [line.split("|")[0] for line in AIRLINES.strip().splitlines() if line.split("|")[2] == "1"]


def comma_lists(codes, per_line=12):
    return [",".join(codes[i:i + per_line]) for i in range(0, len(codes), per_line)]


def section(lines, name, element, attribute, values):
    lines.append(f"  <{name}>")
    for value in values:
        lines.append(f"    <{element} {attribute}={quoteattr(value)}/>")
    lines.append(f"  </{name}>")


def main():
    output = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2] / "data/sample/dbase.xml"
    rng = random.Random(11)
    all_types = types()
    known = [code for code, _, _ in all_types]
    known_set = set(known)
    by_category = {letter: [code for code, category, _ in all_types if category == letter] for letter in "BRHPC"}
    fixes = FIXES.split()
    groups = [group for group in SIMILAR_GROUPS.split()]
    for group in groups:
        assert set(group.split(",")) <= known_set, group
    cargo_types = CARGO_TYPES.split()
    assert set(cargo_types) <= known_set
    assert set(OPERATED_FOR) | set(OPERATED_FOR.values()) <= set(airline_codes())

    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             "<!-- Sample aircraft database of Corvalen, written by tools/datatool/make_sample_dbase.py: type designators,",
             "     wingspans and airline codes are public facts; registrations are made up in each country's pattern;",
             "     publishers and third parties are fictitious. -->",
             "<root>"]
    section(lines, "aircrafts", "aircraft", "types", comma_lists(known))
    section(lines, "high_performance", "hpf", "types", comma_lists(by_category["P"]))
    section(lines, "heavy", "hvy", "types", comma_lists(by_category["H"]))
    section(lines, "large", "lar", "types", comma_lists(by_category["R"]))
    section(lines, "buzjet", "bzj", "types", comma_lists(by_category["B"]))
    section(lines, "rotorcraft", "rot", "types", comma_lists(by_category["C"]))
    section(lines, "cargo_types", "cargo_type", "types", comma_lists(cargo_types))
    section(lines, "similar_types", "similar", "types", groups)
    section(lines, "ICAO_airlines", "ICAO", "codes", comma_lists(airline_codes()))
    section(lines, "cargo_operators", "ICAO", "codes", comma_lists(cargo_operators()))
    section(lines, "publishers", "pub", "names", PUBLISHERS)

    lines.append("  <wingspans>")
    for code, _, metres in all_types:
        lines.append(f'    <wingspan type="{code}" meters="{metres}"/>')
    lines.append("  </wingspans>")

    lines.append("  <fixes>")
    for wrong, correct in zip(fixes[0::2], fixes[1::2]):
        assert correct in known_set, correct
        lines.append(f"    <fx wro={quoteattr(wrong)} cor={quoteattr(correct)}/>")
    lines.append("  </fixes>")

    section(lines, "simaddons20", "simaddon20", "arpts", comma_lists(SIMADDONS20.split()))
    for name, element, parties in (("thirdparties20", "thirdpartie20", THIRDPARTIES20),
                                   ("thirdparties24", "thirdpartie24", THIRDPARTIES24)):
        lines.append(f"  <{name}>")
        for publisher, airports in parties:
            lines.append(f"    <{element} pub={quoteattr(publisher)} arpts={quoteattr(airports)}/>")
        lines.append(f"  </{name}>")

    lines.append("  <dbase>")
    for reg, airline, type_code, operator, cargo in registrations(rng, known_set):
        lines.append(f"    <db reg={quoteattr(reg)} airl={quoteattr(airline)} type={quoteattr(type_code)} "
                     f"opr={quoteattr(operator)} cargo=\"{'true' if cargo else 'false'}\"/>")
    lines.append("  </dbase>")
    lines.append("</root>")
    output.write_text("\n".join(lines) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
