ROT13: each letter moves 13 places along the alphabet, so a becomes n
and n becomes a again. Capital letters borrow the entries of the small
ones, and encoding twice gives the text back.
97=110
98=111
99=112
100=113
101=114
102=115
103=116
104=117
105=118
106=119
107=120
108=121
109=122
110=97
111=98
112=99
113=100
114=101
115=102
116=103
117=104
118=105
119=106
120=107
121=108
122=109
