Digits: each digit is swapped for the one five away, 0 and 5, 1 and 6,
2 and 7, 3 and 8, 4 and 9. Letters and everything else stay as they are,
and encoding twice gives the text back.
48=53
49=54
50=55
51=56
52=57
53=48
54=49
55=50
56=51
57=52
