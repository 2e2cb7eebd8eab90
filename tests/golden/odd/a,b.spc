v_i(&Nombre,char(20))
