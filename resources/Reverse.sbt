Reverse: the alphabet turned around, a and z change places, b and y,
c and x, and so on. Capital letters borrow the entries of the small ones,
and encoding twice gives the text back.
97=122
98=121
99=120
100=119
101=118
102=117
103=116
104=115
105=114
106=113
107=112
108=111
109=110
110=109
111=108
112=107
113=106
114=105
115=104
116=103
117=102
118=101
119=100
120=99
121=98
122=97
