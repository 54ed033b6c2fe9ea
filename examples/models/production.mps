NAME          PRODUCTION
* A small production-planning LP: three products share two machines and a
* limited amount of labour; maximise profit written as minimising its negative.
ROWS
 N  PROFIT
 L  MILL
 L  LATHE
 L  LABOUR
 G  DEMAND_B
COLUMNS
    PROD_A    PROFIT        -12.0   MILL            2.0
    PROD_A    LATHE           1.0   LABOUR          3.0
    PROD_B    PROFIT         -9.0   MILL            1.0
    PROD_B    LATHE           2.0   LABOUR          2.0
    PROD_B    DEMAND_B        1.0
    PROD_C    PROFIT        -15.0   MILL            3.0
    PROD_C    LATHE           2.0   LABOUR          4.0
RHS
    RHS       MILL          120.0   LATHE         100.0
    RHS       LABOUR        180.0   DEMAND_B       10.0
BOUNDS
 UP BND       PROD_C         25.0
ENDATA
